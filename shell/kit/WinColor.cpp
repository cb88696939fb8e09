#include "shell/kit/WinColor.h"

#include <QApplication>
#include <QPalette>

namespace zentimo {

QColor fromWinColor(std::uint32_t bgr)
{
    if (isSystemColor(bgr)) {
        // Only the button face is used by this program; any other system colour maps to it too.
        return QApplication::palette().color(QPalette::Button);
    }
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

} // namespace zentimo
