#pragma once
// The seven-segment face of the time fields and the Colors dialog's samples.

#include <QFont>
#include <QSize>

namespace zentimo {

// "DSEG7 Classic" at the given size, or a bold monospace face where it is not installed.
QFont digitFont(double points);
// The face at the given size, shrunk until "88" fits the box: the seven-segment face is wider than the
// fields were drawn for.
QFont fittedDigitFont(double points, const QSize& box);

} // namespace zentimo
