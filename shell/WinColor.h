#pragma once
// Colours are stored as 32-bit 0x00BBGGRR values; a value with the top bit set names a system colour.

#include <QColor>
#include <cstdint>

namespace zentimo {

inline constexpr std::uint32_t kSystemButtonFace = 0x8000000Fu;
inline constexpr std::uint32_t kWinRed = 0x000000FFu;

inline constexpr bool isSystemColor(std::uint32_t bgr)
{
    return (bgr & 0x80000000u) != 0;
}

inline constexpr std::uint32_t winRgb(int red, int green, int blue)
{
    return std::uint32_t(red & 0xFF) | (std::uint32_t(green & 0xFF) << 8) | (std::uint32_t(blue & 0xFF) << 16);
}

// Converts to a QColor; system colours resolve through the application palette.
QColor fromWinColor(std::uint32_t bgr);

} // namespace zentimo
