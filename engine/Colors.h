#pragma once
// Colours as the settings and the engine hold them: 32-bit 0x00BBGGRR; a value with the top bit set names a
// system colour. shell/kit/WinColor turns them into colours on the screen.

#include <cstdint>

namespace zentimo {

inline constexpr std::uint32_t kSystemButtonFace = 0x8000000Fu;
// The alarm's red: the flashing Start/Stop button and the message window's strip.
inline constexpr std::uint32_t kAlarmRed = 0x000000FFu;
// Behind the digits of the time fields and of the Colors dialog's samples.
inline constexpr std::uint32_t kDigitBackground = 0x00400040u;

inline constexpr bool isSystemColor(std::uint32_t bgr)
{
    return (bgr & 0x80000000u) != 0;
}

inline constexpr std::uint32_t winRgb(int red, int green, int blue)
{
    return std::uint32_t(red & 0xFF) | (std::uint32_t(green & 0xFF) << 8) |
           (std::uint32_t(blue & 0xFF) << 16);
}

} // namespace zentimo
