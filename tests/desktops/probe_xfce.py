"""Xfce on Xvfb: windows as xfwm4 stacks them, the panel's tray buttons and xfce4-notifyd's bubbles through
AT-SPI (both are GTK programs), and real clicks through xdotool."""

import re
import subprocess

import desktop
from desktop import Notification, Window, run
from zentimo_e2e import atspi, click_at, geometry, has_state, walk


def root_windows(name):
    return [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", run("xprop", "-root", name).stdout)]


class Probe(desktop.Probe):
    def windows(self):
        found = []
        for wid in root_windows("_NET_CLIENT_LIST_STACKING"):
            try:
                if "IsViewable" in run("xwininfo", "-id", str(wid)).stdout:
                    pid, title = (run("xdotool", ask, str(wid)).stdout.strip()
                                  for ask in ("getwindowpid", "getwindowname"))
                    found.append(Window(wid, int(pid), title, *geometry(wid)))
            except subprocess.CalledProcessError:
                continue  # gone meanwhile, or no process of its own
        return found

    def active_id(self):
        return next(iter(root_windows("_NET_ACTIVE_WINDOW")), None)

    def click(self, window):
        run("xdotool", "windowactivate", str(window.id), check=False)

    def _tray_area(self):
        """The notification-area plugin's window inside the panel (it runs in a wrapper process of its own)."""
        found = run("xdotool", "search", "--onlyvisible", "--classname", "wrapper-2.0", check=False).stdout.split()
        return Window(int(found[0]), None, "", *geometry(found[0])) if len(found) == 1 else None

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
            found.append(Notification(frame, "", labels[0] if labels else "", " ".join(labels[1:]), buttons))
        return found

    def invoke_action(self, notification, label):
        # The id is the bubble's accessible frame.
        button = next(n for n in walk(notification.id) if n.get_role_name() == "push button" and n.get_name() == label)
        b = button.get_extents(atspi().CoordType.SCREEN)
        click_at(b.x + b.width // 2, b.y + b.height // 2)

    def screenshot(self, path):
        run("import", "-window", "root", path)
