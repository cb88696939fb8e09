#pragma once
// GradientMod: window and picture-box backgrounds of 63 horizontal bands, darkening from a start colour.

#include <QColor>
#include <QList>
#include <QSize>

class QWidget;

namespace zentimo {

inline constexpr int kGradientBands = 63;

// One band in the target's own coordinates, twips from the top of its client area; bottom is exclusive.
struct GradientBand {
    int top = 0;
    int bottom = 0;
    QColor color;
};

// The bands for a target whose outer height (title bar and borders included) is outerHeightTwips.
// Direction 1 starts at the top and goes down, any other value starts at the bottom and goes up. Components
// are clamped to 0..255 and drop by 4 per band, not below 0; with useSystemColour every band is systemColour.
QList<GradientBand> gradientBands(double outerHeightTwips, int red, int green, int blue, int direction,
                                  bool useSystemColour, const QColor& systemColour);

// The target's outer size in pixels: its own size for a child widget; for a window its frame, or before the
// window manager has framed it an estimate of a usual title bar and border.
QSize gradientOuterSize(const QWidget* target);
inline constexpr int kEstimatedTitleBar = 24;
inline constexpr int kEstimatedBorder = 4;

// Paints the bands into the target's background, where they stay across repaints until painted again.
// The outer bands below the client area are clipped. UseSystemColour paints every band the button colour.
void PaintGradient(QWidget* target, int red, int green, int blue, int direction, bool UseSystemColour);

// The stored background choices: 0..5 are gradients from these start colours (red, green, blue), top down;
// 6 is the flat button colour.
inline constexpr int kBackgroundStarts[6][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                                                {0, 255, 255}, {255, 255, 0}, {255, 0, 255}};
inline constexpr int kFlatBackground = 6;
// Paints a background choice; any other value leaves the background as it is.
void paintBackgroundChoice(QWidget* target, int choice);

} // namespace zentimo
