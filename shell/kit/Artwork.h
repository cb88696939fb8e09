#pragma once
// The program's own pictures, painted in code so they stay sharp and need no files at run time.

#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QStringList>

namespace zentimo {

// The message window's background: a brushed-metal panel on a surround of exactly RGB(254,254,254)
// (also the top-left pixel), with a black display strip at kMessageStripRect. Never contains RGB(255,0,0).
QImage messagePanelImage();

// Where the panel's display strip and Close button sit, in pixels.
inline constexpr QRect kMessageStripRect{30, 48, 521, 47};
inline constexpr QRect kCloseButtonRect{584, 32, 82, 70};

// The 82 x 70 Close button, cut from the panel so it sits on it seamlessly; pressed is darker and lower.
QImage closeButtonImage(bool pressed);

// 138 x 72 logo with transparent background, for the About box.
QPixmap productLogo();

// A metal stopwatch, drawn separately for each of programIconSizes() so small sizes stay crisp.
QIcon programIcon();
QImage programIconImage(int size);
QList<int> programIconSizes();

// The LED board of the message strip: round LEDs on a kLedPitch pixel grid, kLedRows high.
inline constexpr int kLedPitch = 3;
inline constexpr int kLedRows = 15;

// The message as a dot matrix, one pixel per LED (non-zero = lit), kLedRows high, one column per dot.
// Drawn with the dot-matrix face DotGothic16, or a bold monospace face where that is missing.
QImage ledDotMatrix(const QString& text);

// One LED, kLedPitch pixels square, on a transparent ground.
QImage ledImage(bool lit);

// A board of unlit LEDs filling size, its first LED at the top-left corner.
QImage ledBoardImage(QSize size);

// Writes the icon as <folder>/<N>x<N>/apps/zentimo.png (the hicolor theme's layout) for every size.
// False as soon as one cannot be written.
bool writeProgramIcons(const QString& folder);

} // namespace zentimo
