#include "platform/WaylandWindowSystem.h"

#include <QApplication>
#include <QWidget>

namespace zentimo {

void WaylandWindowSystem::bringForward(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
    // A compositor that refuses the activation (mutter without a user's action) may still mark the window.
    QApplication::alert(window);
}

QString WaylandWindowSystem::limits() const
{
    return QStringLiteral(
        "zentimo: this Wayland session lets no program keep a window on top, place its windows or keep "
        "them off the task bar: \"On Top\" has no effect and the alarm message can open behind other "
        "windows. With XWayland in the session Zentimo runs on it, where most window managers allow all "
        "of this.");
}

} // namespace zentimo
