"""Xfce on Xvfb: windows through the X server, the panel's tray buttons and xfce4-notifyd's bubbles through
AT-SPI (both are GTK programs), and real clicks through xdotool."""

import gi
from Xlib import X, Xatom, display as xdisplay

import desktop
from desktop import Notification, Window, run

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def accessible_apps(name):
    root = Atspi.get_desktop(0)
    root.clear_cache()
    apps = []
    for i in range(root.get_child_count()):
        app = root.get_child_at_index(i)
        try:
            if app and app.get_name() == name:
                apps.append(app)
        except gi.repository.GLib.Error:
            continue
    return apps


def descendants(node, depth=0):
    yield node
    try:
        children = [node.get_child_at_index(i) for i in range(node.get_child_count())] if depth < 25 else []
    except gi.repository.GLib.Error:
        return
    for child in filter(None, children):
        yield from descendants(child, depth + 1)


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def centre(node):
    e = node.get_extents(Atspi.CoordType.SCREEN)
    return e.x + e.width // 2, e.y + e.height // 2


def click(x, y, button=1):
    # No --sync: it waits forever when the pointer already stands there.
    run("xdotool", "mousemove", str(x), str(y), "click", str(button))


class Probe(desktop.Probe):
    SCREEN_READER = True

    def __init__(self):
        super().__init__()
        self.x = xdisplay.Display()
        self.root = self.x.screen().root
        self.atom = self.x.intern_atom

    def _property(self, window, name, kind=X.AnyPropertyType):
        try:
            reply = window.get_full_property(self.atom(name), kind)
        except Exception:
            return None
        return reply.value if reply else None

    def _client(self, window, depth=0):
        """The client window inside a window manager's frame: the one carrying WM_STATE."""
        if self._property(window, "WM_STATE") is not None:
            return window
        try:
            children = window.query_tree().children if depth < 3 else []
        except Exception:
            return None
        return next(filter(None, (self._client(c, depth + 1) for c in children)), None)

    def _record(self, window):
        pid = self._property(window, "_NET_WM_PID", Xatom.CARDINAL)
        title = self._property(window, "_NET_WM_NAME") or self._property(window, "WM_NAME") or b""
        geometry = window.get_geometry()
        origin = window.translate_coords(self.root, 0, 0)
        return Window(window.id, int(pid[0]) if pid is not None and len(pid) else None,
                      title.decode(errors="replace") if isinstance(title, bytes) else str(title),
                      -origin.x, -origin.y, geometry.width, geometry.height)

    def windows(self):
        """Top-level windows in the X server's stacking order: managed clients in their frames, and windows
        that bypass the window manager, each as seen on screen."""
        found = []
        for top in self.root.query_tree().children:
            try:
                attributes = top.get_attributes()
                if attributes.map_state != X.IsViewable:
                    continue
                client = self._client(top) or (top if attributes.override_redirect else None)
                if client is not None and client.get_attributes().map_state == X.IsViewable:
                    found.append(self._record(client))
            except Exception:
                continue  # gone meanwhile
        return found

    def active_id(self):
        active = self._property(self.root, "_NET_ACTIVE_WINDOW", Xatom.WINDOW)
        return active[0] if active is not None and len(active) else None

    def click(self, window):
        run("xdotool", "windowactivate", str(window.id), check=False)

    def _tray_area(self):
        """The notification-area plugin's window inside the panel (it runs in a wrapper process of its own)."""
        def visit(window, inside_panel):
            for child in window.query_tree().children:
                wm_class = self._property(child, "WM_CLASS") or b""
                if inside_panel and b"wrapper-2.0" in wm_class and child.get_attributes().map_state == X.IsViewable:
                    return self._record(child)
                found = visit(child, inside_panel or b"xfce4-panel" in wm_class)
                if found:
                    return found

        return visit(self.root, False)

    def tray_items(self):
        # Qt shows a StatusNotifierItem wherever a host is registered, as the panel's tray is. The tray draws
        # each item as a square button of its height after a one-pixel edge; with a single item the pairing
        # is plain. (Its accessible buttons are not always there to be seen, so the window's size tells.)
        sni, area = desktop.sni_items(), self._tray_area()
        return sni if len(sni) == 1 and area and area.width >= area.height else []

    def tray_activate(self, item):
        area = self._tray_area()
        click(area.x + area.width - area.height // 2, area.y + area.height // 2)

    def _bubbles(self):
        for app in accessible_apps("xfce4-notifyd"):
            for i in range(app.get_child_count()):
                frame = app.get_child_at_index(i)
                if frame and showing(frame):
                    yield frame

    def notifications(self):
        found = []
        for frame in self._bubbles():
            nodes = list(descendants(frame))
            labels = [n.get_name() for n in nodes if n.get_role_name() == "label"]
            buttons = [n.get_name() for n in nodes if n.get_role_name() == "push button" and showing(n)]
            e = frame.get_extents(Atspi.CoordType.SCREEN)
            found.append(Notification((e.x, e.y), "", labels[0] if labels else "", " ".join(labels[1:]), buttons))
        return found

    def invoke_action(self, notification, label):
        for frame in self._bubbles():
            e = frame.get_extents(Atspi.CoordType.SCREEN)
            if (e.x, e.y) == notification.id:
                button = next(n for n in descendants(frame) if n.get_role_name() == "push button"
                              and n.get_name() == label)
                return click(*centre(button))
        raise AssertionError("no notification at %s" % (notification.id,))

    def screenshot(self, path):
        run("import", "-window", "root", path)

    def close(self):
        super().close()
        self.x.close()
