#include "platform/WindowSystem.h"

#include "platform/SilentWindowSystem.h"
#include "platform/WaylandWindowSystem.h"
#include "platform/X11WindowSystem.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace zentimo {

namespace {

std::unique_ptr<WindowSystem>& installed()
{
    static std::unique_ptr<WindowSystem> system;
    return system;
}

std::unique_ptr<WindowSystem> forPlatform(const QString& platform)
{
    if (platform == QLatin1String("xcb"))
        return std::make_unique<X11WindowSystem>();
    if (platform.startsWith(QLatin1String("wayland")))
        return std::make_unique<WaylandWindowSystem>();
    // offscreen, minimal, vnc: nothing stands above anything.
    return std::make_unique<SilentWindowSystem>();
}

} // namespace

WindowSystem& WindowSystem::current()
{
    std::unique_ptr<WindowSystem>& system = installed();
    if (!system)
        system = forPlatform(QGuiApplication::platformName());
    return *system;
}

void WindowSystem::install(std::unique_ptr<WindowSystem> system)
{
    installed() = std::move(system);
}

void WindowSystem::setTopmost(QWidget* window, bool topmost)
{
    if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topmost)
        return;
    // QWidget::setWindowFlags would destroy and re-create the native window, which window managers then
    // place anew: the widget's and the native window's flags are changed in place instead.
    const Qt::WindowFlags flags = window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, topmost);
    window->overrideWindowFlags(flags);
    if (QWindow* handle = window->windowHandle())
        handle->setFlags(flags);
    topmostChanged(window, topmost);
}

} // namespace zentimo
