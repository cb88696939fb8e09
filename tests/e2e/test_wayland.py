"""Headless Wayland sessions, with XWayland (the program runs on X) and without (natively); either way it says
once what the session does not allow and counts to its alarm panel in real seconds."""

import pathlib

from zentimo_e2e import Case, Weston, end_process, find, find_app, press, wait_for

NOTE = "this Wayland session lets no program keep a window on top"
# Weston's X window manager, like wlroots', supports neither _NET_WM_STATE_ABOVE nor _WIN_LAYER.
X_NOTE = "this X window manager cannot keep a window on top"


class WaylandTest(Case):
    def start(self, xwayland):
        self.weston = Weston(xwayland)
        self.addCleanup(end_process, self.weston.proc)
        return self.open({"Show Message": "True", "Alarm Message": "Wayland"}, self.weston.env)

    def count_to_alarm(self, root):
        # Through the accessibility bus, which works on either platform.
        seconds = wait_for(lambda: find(root, "Seconds", "text"), what="the seconds field")
        seconds.get_editable_text_iface().set_text_contents("3")
        press(find(root, "Start"))
        wait_for(lambda: find(root, "Alarm Off"), timeout=8, what="the alarm")

    def test_with_xwayland_it_runs_on_x(self):
        app = self.start(xwayland=True)
        main_window = app.wait_window()
        self.count_to_alarm(find_app())
        # Where it stands is the real desktops' check (tests/desktops), each of them with XWayland.
        wait_for(lambda: [w for w in app.windows() if w != main_window], what="the alarm panel on X")
        said = pathlib.Path(self.app.log).read_text(errors="replace")
        self.assertNotIn(NOTE, said)
        self.assertEqual(said.count(X_NOTE), 1)

    def test_without_xwayland_it_runs_natively_counts_and_alarms(self):
        self.start(xwayland=False)
        root = find_app()
        self.count_to_alarm(root)
        wait_for(lambda: root.clear_cache() or root.get_child_count() == 2, what="the panel beside the main window")
        self.assertEqual(pathlib.Path(self.app.log).read_text(errors="replace").count(NOTE), 1)
