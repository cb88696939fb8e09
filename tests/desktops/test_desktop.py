"""What a user of each real desktop meets at the alarm, through its probe_<desktop>.py (real seconds)."""

import importlib
import os
import tempfile
import time
import unittest

import desktop
from desktop import OTHER_COLOUR, OTHER_TITLE, wait_for
from zentimo_e2e import Case, pixel

DESKTOP = os.environ["ZENTIMO_DESKTOP"]
SHOTS = os.environ.get("ZENTIMO_SHOTS") or tempfile.gettempdir()
MESSAGE = "Tea is ready - take it out now"
SEED = {"Show Message": "True", "Alarm Message": MESSAGE}
# The desktop's own platform and accessibility settings, not those forced for Xvfb.
NATIVE = {name: os.environ.get(name) for name in ("QT_QPA_PLATFORM", "QT_ACCESSIBILITY")}


class DesktopTest(Case):
    def setUp(self):
        self.probe = importlib.import_module("probe_" + DESKTOP).Probe()
        self.addCleanup(self.probe.close)

    def launch(self, *args, options=None):
        return self.open(dict(SEED, **(options or {})), NATIVE, args)

    def status(self):
        return self.app.command("--status").stdout.strip()

    def own_windows(self):
        return [w for w in self.probe.windows() if w.pid == self.app.proc.pid]

    def main_window(self):
        return wait_for(lambda: self.own_windows(), what="Zentimo's window")[0]

    def working_elsewhere(self, options=None):
        self.launch(options=options)
        return self.main_window(), self.probe.open_other_window()

    def alarm(self):
        self.assertEqual(self.app.command("--countdown", "3", "--start").stdout.strip(), "")
        wait_for(lambda: self.status() == "countdown alarm 00:00:00", timeout=15, what="the alarm")

    def panel_at_alarm(self, main, other):
        """The alarm panel, which must stand above the program in use and above Zentimo's own window."""
        self.alarm()
        panel = wait_for(lambda: [w for w in self.own_windows() if w.id != main.id], what="the alarm panel")[0]
        # The user goes on working: KWin hides the utility windows of a program that is not the active one.
        self.probe.activate(other)
        above = lambda: self.probe.is_above(panel, other) and self.probe.is_above(panel, main)
        wait_for(above, what="the panel above %s and the main window" % OTHER_TITLE)
        # It stays there while its message scrolls in, a few real seconds.
        deadline = time.monotonic() + 3
        while time.monotonic() < deadline:
            self.assertTrue(above(), "the panel went below another window")
            time.sleep(0.2)
        return panel

    def test_with_the_big_window_on_top_it_stays_over_the_program_in_use_and_the_panel_over_both(self):
        main, other = self.working_elsewhere({"Size": "1", "On Top": "True"})
        wait_for(lambda: self.probe.is_above(main, other), what="Zentimo above the active " + OTHER_TITLE)
        self.panel_at_alarm(main, other)

    def test_the_panel_stands_above_the_program_in_use_shaped(self):
        main, other = self.working_elsewhere()
        panel = self.panel_at_alarm(main, other)
        os.makedirs(SHOTS, exist_ok=True)
        shot = os.path.join(SHOTS, "alarm-%s.png" % DESKTOP)
        self.probe.screenshot(shot)
        # Shaped: at its rounded corner the program in use shows through.
        x, y = panel.x + 2, panel.y + 2
        o = next(w for w in self.probe.windows() if w.id == other.id)
        self.assertTrue(o.x <= x < o.x + o.width and o.y <= y < o.y + o.height, "no other window behind the corner")
        self.assertLess(max(map(abs, map(int.__sub__, pixel(x, y, shot), OTHER_COLOUR))), 12, "not shaped")

    def test_the_tray_icon_is_in_this_desktops_tray_and_its_click_restores(self):
        self.launch("--tray")
        try:
            item = wait_for(lambda: [i for i in self.probe.tray_items() if i.pid == self.app.proc.pid],
                            timeout=40, what="Zentimo's icon in the tray")[0]
        except AssertionError:
            raise AssertionError("no icon of ours in %s; registered: %s" % (self.probe.tray_items(),
                                                                           desktop.sni_items())) from None
        self.assertEqual(self.own_windows(), [], "the window shown behind the tray icon")
        self.probe.tray_activate(item)
        wait_for(lambda: self.own_windows(), what="the window restored by a click on the icon")

    def test_the_notification_turns_the_alarm_off(self):
        self.working_elsewhere()
        self.alarm()
        ours = lambda: [n for n in self.probe.notifications() if MESSAGE in n.summary + " " + n.body]
        notification = wait_for(ours, what="the alarm's notification")[0]
        self.assertIn("Alarm Off", notification.actions)
        self.probe.invoke_action(notification, "Alarm Off")
        wait_for(lambda: self.status() == "countdown stopped 00:00:00", what="the alarm turned off")
        wait_for(lambda: not ours(), what="the notification withdrawn")


if __name__ == "__main__":
    unittest.main()
