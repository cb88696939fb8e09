#include "platform/SilentWindowSystem.h"

#include <QWidget>

namespace zentimo {

void SilentWindowSystem::bringForward(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}

} // namespace zentimo
