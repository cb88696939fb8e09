#pragma once
// Layout tables are kept in twips, 15 to a pixel at 96 dpi; these helpers turn them into pixels.

#include <QRect>
#include <QtMath>

namespace zentimo {

inline constexpr int kTwipsPerPixel = 15;

inline int twipsToPixels(double twips)
{
    return qRound(twips / kTwipsPerPixel);
}

inline int pixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

// Left, Top, Width, Height in twips.
inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace zentimo
