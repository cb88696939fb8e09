#include "shell/X11Window.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace zentimo {

void keepOutOfTaskbar(QWidget* window)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) {
        return;
    }
    const auto atom = [connection](const char* name) {
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return value;
    };
    const xcb_atom_t state = atom("_NET_WM_STATE");
    const xcb_atom_t skip[] = {atom("_NET_WM_STATE_SKIP_TASKBAR"), atom("_NET_WM_STATE_SKIP_PAGER")};
    if (state == XCB_ATOM_NONE || skip[0] == XCB_ATOM_NONE || skip[1] == XCB_ATOM_NONE) {
        return;
    }
    // Appended: Qt adds its own states (above) to whatever the property already holds when it maps the
    // window.
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, xcb_window_t(window->winId()), state, XCB_ATOM_ATOM,
                        32, 2, skip);
    xcb_flush(connection);
}

bool windowsCanStayOnTop()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace zentimo
