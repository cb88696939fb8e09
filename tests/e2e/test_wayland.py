"""Headless Wayland sessions: with XWayland the program runs on X, the alarm panel above the main window; without
it, natively, saying once what the session does not allow, and still counts and alarms. Waits real seconds."""

import pathlib
import unittest

from Xlib import display as xdisplay

from zentimo_e2e import Weston, Zentimo, end_process, find, find_app, press, text_of, wait_for

NOTE = "this Wayland session lets no program keep a window on top"


def stacking(display):
    """The X display's top-level windows, bottom to top, each with every window inside it."""
    def inside(window):
        yield window.id
        for child in window.query_tree().children:
            yield from inside(child)

    return [set(inside(w)) for w in xdisplay.Display(display).screen().root.query_tree().children]


class WaylandTest(unittest.TestCase):
    def start(self, xwayland):
        self.weston = Weston(xwayland)
        self.addCleanup(end_process, self.weston.proc)
        self.app = Zentimo(extra_env=self.weston.env)
        self.addCleanup(self.app.cleanup)
        self.app.seed({"Show Message": "True", "Alarm Message": "Wayland"})
        return self.app.start()

    def count_to_alarm(self, root):
        """Through the accessibility bus, which works on either platform: 3 s counted down to the alarm."""
        seconds = wait_for(lambda: find(root, "Seconds", "text"), what="the seconds field")
        seconds.get_editable_text_iface().set_text_contents("3")
        wait_for(lambda: text_of(seconds) == "03", what="seconds field reading 03")
        press(find(root, "Start"))
        wait_for(lambda: find(root, "Alarm Off"), timeout=8, what="the alarm")
        wait_for(lambda: self.app.audio_peak() > 3000, what="the alarm sound")

    def test_with_xwayland_it_runs_on_x_and_the_panel_stands_above_the_main_window(self):
        app = self.start(xwayland=True)
        main_window = app.wait_window()
        self.count_to_alarm(find_app())
        shown = wait_for(lambda: [w for w in app.windows() if w != main_window], what="the alarm panel on X")[0]
        order = stacking(self.weston.display)
        level = {w: next(i for i, group in enumerate(order) if w in group) for w in (main_window, shown)}
        self.assertGreater(level[shown], level[main_window], "the alarm panel is behind the main window")
        self.assertNotIn(NOTE, pathlib.Path(self.app.log).read_text(errors="replace"))

    def test_without_xwayland_it_runs_natively_counts_and_alarms(self):
        self.start(xwayland=False)
        root = find_app()
        self.count_to_alarm(root)
        wait_for(lambda: root.clear_cache() or root.get_child_count() == 2, what="the panel beside the main window")
        self.assertEqual(pathlib.Path(self.app.log).read_text(errors="replace").count(NOTE), 1)
