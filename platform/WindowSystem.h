#pragma once
// WindowSystem: what Zentimo asks of the desktop's window system that Qt does not say the same way on every
// platform: the top band, the task bar, shaping, bringing a window forward. One implementation per Qt
// platform (X11WindowSystem, WaylandWindowSystem) and a silent one for tests (SilentWindowSystem); current()
// chooses by Qt's platform the first time it is asked.

#include <QString>
#include <memory>

class QWidget;

namespace zentimo {

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // The one in use. Needs the application object.
    static WindowSystem& current();
    // Replaces the one in use (tests); nullptr chooses again on the next current().
    static void install(std::unique_ptr<WindowSystem> system);

    // Whether a window can stand in a band above other programs' windows here.
    virtual bool canStayOnTop() const = 0;
    // Whether a transparent pixel of a top level shows what lies behind it (a compositor draws the screen).
    virtual bool translucentWindows() const = 0;

    // Topmost or not, shown or hidden: the native window, its place and its size stay as they are.
    void setTopmost(QWidget* window, bool topmost);
    // Off the task bar and the pager; said before every showing (window managers forget it on hiding).
    virtual void keepOutOfTaskbar(QWidget* window) = 0;
    // At the alarm: back from minimized, in front and active; where the desktop refuses, asking for the
    // user's attention instead.
    virtual void bringForward(QWidget* window) = 0;
    // What this session does not allow, as one line for standard error; empty when all of it works.
    virtual QString limits() const = 0;
    // Sends what is queued for the window system now instead of when the event loop next waits: a window
    // just shown then appears before the work that follows.
    virtual void flush() {}

protected:
    // The window's stays-on-top hint has changed; tell the window manager what Qt does not.
    virtual void topmostChanged(QWidget* window, bool topmost) = 0;
};

} // namespace zentimo
