#pragma once
// Colours on the screen from the stored 0x00BBGGRR values (engine/Colors.h).

#include "engine/Colors.h"

#include <QColor>

namespace zentimo {

// System colours resolve through the application palette.
QColor fromWinColor(std::uint32_t bgr);

} // namespace zentimo
