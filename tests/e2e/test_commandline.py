"""A later start with options drives the running Zentimo over the session bus, which shows its state (real
seconds: a three-second countdown to its alarm); without a bus the options act on the start itself."""

import os
import subprocess
import unittest

from zentimo_e2e import Zentimo, wait_for

NO_DISPLAY = {k: v for k, v in os.environ.items() if k != "DISPLAY"}


def zentimo(*args, env=NO_DISPLAY):
    return subprocess.run([os.environ["ZENTIMO_BINARY"], *args], capture_output=True, text=True, timeout=30,
                          env=env)


class CommandLineTest(unittest.TestCase):
    def start(self, *args, extra_env=None):
        self.app = Zentimo(extra_env).start(*args)
        self.addCleanup(self.app.cleanup)
        self.app.wait_window()
        return self.app

    def status(self):
        return zentimo("--status").stdout.strip()

    def test_countdown_status_and_stop_from_later_starts(self):
        app = self.start()
        introspect = ["gdbus", "introspect", "--session", "--dest", "example.fernwick.Zentimo", "--object-path",
                      "/example/fernwick/Zentimo"]
        shown = wait_for(lambda: subprocess.run(introspect, capture_output=True, text=True).stdout, what="the bus name")
        self.assertIn("Countdown(in  s time)", shown)

        self.assertEqual(zentimo("--countdown", "3", "--start").returncode, 0)
        self.assertRegex(self.status(), r"^countdown running 00:00:0[0-3]$")
        wait_for(lambda: self.status() == "countdown alarm 00:00:00", timeout=8, what="the alarm")
        wait_for(lambda: app.audio_peak() > 3000, what="audible alarm")
        self.assertEqual(zentimo("--countdown", "5m").returncode, 1, "a running countdown replaced")
        self.assertEqual(zentimo("--stop").returncode, 0)
        self.assertEqual(self.status(), "countdown stopped 00:00:00")

        self.assertEqual(zentimo("--tray").returncode, 0)
        wait_for(lambda: not app.windows(), what="the window behind the tray icon")

    def test_without_a_bus_the_options_act_on_the_start_itself(self):
        no_bus = {"DBUS_SESSION_BUS_ADDRESS": "unix:path=/nonexistent"}
        self.assertEqual(zentimo("--status", env=dict(os.environ, **no_bus)).returncode, 3)
        app = self.start("--countdown", "2", "--start", extra_env=no_bus)
        wait_for(lambda: app.audio_peak() > 3000, timeout=8, what="audible alarm")
        self.assertFalse(os.path.exists(app.registry), "settings written")
