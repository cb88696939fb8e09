#include "shell/kit/X11Window.h"

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>
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
    const auto id = xcb_window_t(window->winId());
    // Said again on each showing: only what is not there yet is added.
    std::vector<xcb_atom_t> missing(std::begin(skip), std::end(skip));
    const xcb_get_property_cookie_t cookie = xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 64);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr)) {
        const auto* held = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        const int count = reply->format == 32 ? xcb_get_property_value_length(reply) / 4 : 0;
        std::erase_if(missing,
                      [&](xcb_atom_t a) { return std::find(held, held + count, a) != held + count; });
        std::free(reply);
    }
    if (missing.empty()) {
        return;
    }
    // Appended: Qt adds its own states (above) to whatever the property already holds when it maps the
    // window.
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32,
                        std::uint32_t(missing.size()), missing.data());
    xcb_flush(connection);
}

bool windowsCanStayOnTop()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace zentimo
