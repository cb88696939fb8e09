#pragma once
// SessionPlatform: which of Qt's platforms to ask for, decided before the application object exists.

#include <vector>

namespace zentimo {

class SessionPlatform {
public:
    // Staying on top, placing a window and keeping out of the task bar all need X. On a Wayland session
    // that also offers an X server (XWayland) the arguments gain "-platform xcb;wayland", Wayland being
    // taken only when the X server cannot be reached. A platform the user chose (QT_QPA_PLATFORM or
    // -platform) stands.
    SessionPlatform(int argc, char* argv[]);

    // The arguments for QApplication; they live as long as this object.
    int& argc() { return m_argc; }
    char** argv() { return m_argv.data(); }

    // Once the application object exists: says once on standard error what the window system does not allow.
    static void reportLimits();

private:
    int m_argc;
    std::vector<char*> m_argv;
};

} // namespace zentimo
