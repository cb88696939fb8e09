#include "platform/X11WindowSystem.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>
#include <xcb/xcb.h>

namespace zentimo {

namespace {

constexpr std::uint32_t kStateRemove = 0;
constexpr std::uint32_t kStateAdd = 1;
// _NET_ACTIVE_WINDOW's source indication of a pager or task bar: one the user told to bring a window up.
constexpr std::uint32_t kSourcePager = 2;
// icewm's _WIN_LAYER values.
constexpr std::uint32_t kLayerNormal = 4;
constexpr std::uint32_t kLayerOnTop = 6;

xcb_connection_t* connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

xcb_window_t rootOf(xcb_connection_t* c)
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    return screen ? screen->root : xcb_window_t(XCB_WINDOW_NONE);
}

std::vector<xcb_atom_t> atomList(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property)
{
    std::vector<xcb_atom_t> atoms;
    const xcb_get_property_cookie_t cookie = xcb_get_property(c, 0, window, property, XCB_ATOM_ATOM, 0, 1024);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr)) {
        const auto* held = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        const int count = reply->format == 32 ? xcb_get_property_value_length(reply) / 4 : 0;
        atoms.assign(held, held + count);
        std::free(reply);
    }
    return atoms;
}

// A client message to the window manager about window, as EWMH asks: sent to the root window.
void tellWindowManager(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type, std::uint32_t a,
                       std::uint32_t b = 0, std::uint32_t d = 0)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    event.data.data32[0] = a;
    event.data.data32[1] = b;
    event.data.data32[2] = d;
    xcb_send_event(c, 0, rootOf(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

} // namespace

bool X11WindowSystem::rootLists(const char* property, const char* name) const
{
    xcb_connection_t* c = connection();
    if (!c)
        return false;
    const std::vector<xcb_atom_t> listed = atomList(c, rootOf(c), atom(c, property));
    return std::find(listed.begin(), listed.end(), atom(c, name)) != listed.end();
}

bool X11WindowSystem::canStayOnTop() const
{
    if (!m_above)
        m_above = rootLists("_NET_SUPPORTED", "_NET_WM_STATE_ABOVE");
    if (!m_layers)
        m_layers = rootLists("_WIN_PROTOCOLS", "_WIN_LAYER");
    return *m_above || *m_layers;
}

bool X11WindowSystem::translucentWindows() const
{
    xcb_connection_t* c = connection();
    if (!c)
        return false;
    const xcb_get_selection_owner_cookie_t cookie = xcb_get_selection_owner(c, atom(c, "_NET_WM_CM_S0"));
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(c, cookie, nullptr);
    const bool composited = reply && reply->owner != XCB_WINDOW_NONE;
    std::free(reply);
    return composited;
}

void X11WindowSystem::keepOutOfTaskbar(QWidget* window)
{
    xcb_connection_t* c = connection();
    if (!c)
        return;
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t skip[] = {atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), atom(c, "_NET_WM_STATE_SKIP_PAGER")};
    if (state == XCB_ATOM_NONE || skip[0] == XCB_ATOM_NONE || skip[1] == XCB_ATOM_NONE)
        return;
    const auto id = xcb_window_t(window->winId());
    std::vector<xcb_atom_t> missing(std::begin(skip), std::end(skip));
    const std::vector<xcb_atom_t> held = atomList(c, id, state);
    std::erase_if(missing,
                  [&](xcb_atom_t a) { return std::find(held.begin(), held.end(), a) != held.end(); });
    if (missing.empty())
        return;
    // Appended: Qt adds its own states (above) to whatever the property already holds when it maps the
    // window.
    xcb_change_property(c, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, std::uint32_t(missing.size()),
                        missing.data());
    xcb_flush(c);
}

void X11WindowSystem::bringForward(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
    if (xcb_connection_t* c = connection()) {
        // Qt asks as an application, which focus-stealing prevention (mutter, KWin) refuses while the user
        // works elsewhere; the alarm is what the user set up this program for, so it asks as the task bar
        // does.
        tellWindowManager(c, xcb_window_t(window->winId()), atom(c, "_NET_ACTIVE_WINDOW"), kSourcePager,
                          XCB_CURRENT_TIME);
        xcb_flush(c);
    }
    // Where even that is refused, the task bar entry asks for attention.
    QApplication::alert(window);
}

void X11WindowSystem::topmostChanged(QWidget* window, bool topmost)
{
    xcb_connection_t* c = connection();
    if (!c || !window->windowHandle())
        return;
    const auto id = xcb_window_t(window->winId());
    canStayOnTop();
    if (window->isVisible()) {
        tellWindowManager(c, id, atom(c, "_NET_WM_STATE"), topmost ? kStateAdd : kStateRemove,
                          atom(c, "_NET_WM_STATE_ABOVE"), atom(c, "_NET_WM_STATE_STAYS_ON_TOP"));
        // icewm 3 keeps a shown window "above" whatever _NET_WM_STATE asks; only its layer message moves it.
        if (*m_layers)
            tellWindowManager(c, id, atom(c, "_WIN_LAYER"), topmost ? kLayerOnTop : kLayerNormal,
                              XCB_CURRENT_TIME);
    } else if (*m_layers) {
        const std::uint32_t layer = topmost ? kLayerOnTop : kLayerNormal;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom(c, "_WIN_LAYER"), XCB_ATOM_CARDINAL, 32, 1,
                            &layer);
    }
    xcb_flush(c);
}

QString X11WindowSystem::limits() const
{
    if (canStayOnTop())
        return {};
    return QStringLiteral(
        "zentimo: this X window manager cannot keep a window on top (it supports neither "
        "_NET_WM_STATE_ABOVE nor _WIN_LAYER): \"On Top\" has no effect and the alarm message "
        "stands above other windows only while it is the active one.");
}

void X11WindowSystem::flush()
{
    if (xcb_connection_t* c = connection())
        xcb_flush(c);
}

} // namespace zentimo
