#pragma once

class QWidget;

namespace zentimo {

// Window managers such as icewm list a tool window or dialog in the taskbar unless the window says
// otherwise; this must be said before the window is first mapped. Elsewhere than on X11 it does nothing.
void keepOutOfTaskbar(QWidget* window);

// Whether a window can stay above others here: X11 keeps it there; a Wayland session lets no client.
bool windowsCanStayOnTop();

} // namespace zentimo
