"""Xfce on Xvfb: windows as xfwm4 stacks them, the panel's tray buttons and xfce4-notifyd's bubbles through
AT-SPI (both are GTK programs), and real clicks through xdotool."""

from Xlib import X, Xatom, display as xdisplay

import desktop
from desktop import Notification, Window
from zentimo_e2e import atspi, click_at, has_state, walk


def centre(node):
    e = node.get_extents(atspi().CoordType.SCREEN)
    return e.x + e.width // 2, e.y + e.height // 2


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

    def _record(self, window):
        pid = self._property(window, "_NET_WM_PID", Xatom.CARDINAL)
        title = self._property(window, "_NET_WM_NAME") or self._property(window, "WM_NAME") or b""
        geometry = window.get_geometry()
        origin = window.translate_coords(self.root, 0, 0)
        return Window(window.id, int(pid[0]) if pid is not None and len(pid) else None,
                      title.decode(errors="replace") if isinstance(title, bytes) else str(title),
                      -origin.x, -origin.y, geometry.width, geometry.height)

    def windows(self):
        found = []
        for wid in self._property(self.root, "_NET_CLIENT_LIST_STACKING", Xatom.WINDOW) or []:
            try:
                window = self.x.create_resource_object("window", wid)
                if window.get_attributes().map_state == X.IsViewable:
                    found.append(self._record(window))
            except Exception:
                continue  # gone meanwhile
        return found

    def active_id(self):
        active = self._property(self.root, "_NET_ACTIVE_WINDOW", Xatom.WINDOW)
        return active[0] if active is not None and len(active) else None

    def click(self, window):
        desktop.run("xdotool", "windowactivate", str(window.id), check=False)

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
        click_at(area.x + area.width - area.height // 2, area.y + area.height // 2)

    def _bubbles(self):
        root = atspi().get_desktop(0)
        root.clear_cache()
        for app in filter(None, map(root.get_child_at_index, range(root.get_child_count()))):
            try:
                notifyd = app.get_name() == "xfce4-notifyd"
            except Exception:
                continue
            frames = map(app.get_child_at_index, range(app.get_child_count())) if notifyd else []
            yield from (f for f in frames if f and has_state(f, "SHOWING"))

    def notifications(self):
        found = []
        for frame in self._bubbles():
            nodes = list(walk(frame))
            labels = [n.get_name() for n in nodes if n.get_role_name() == "label"]
            buttons = [n.get_name() for n in nodes if n.get_role_name() == "push button" and has_state(n, "SHOWING")]
            e = frame.get_extents(atspi().CoordType.SCREEN)
            found.append(Notification((e.x, e.y), "", labels[0] if labels else "", " ".join(labels[1:]), buttons))
        return found

    def invoke_action(self, notification, label):
        for frame in self._bubbles():
            e = frame.get_extents(atspi().CoordType.SCREEN)
            if (e.x, e.y) == notification.id:
                button = next(n for n in walk(frame) if n.get_role_name() == "push button"
                              and n.get_name() == label)
                return click_at(*centre(button))
        raise AssertionError("no notification at %s" % (notification.id,))

    def screenshot(self, path):
        desktop.run("import", "-window", "root", path)

    def close(self):
        super().close()
        self.x.close()
