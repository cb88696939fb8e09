"""Later starts drive the running Zentimo over the session bus (real seconds); without a bus, the start itself."""

import os
import subprocess

from zentimo_e2e import Case, wait_for


class CommandLineTest(Case):
    def test_countdown_status_and_stop_from_later_starts(self):
        # Started with options itself (as from a login's autostart), it still answers the later starts.
        zentimo = self.launch(args=("--countdown", "1h"), accessible=False).command
        ours = ["--session", "--dest", "example.fernwick.Zentimo", "--object-path", "/example/fernwick/Zentimo"]
        shown = wait_for(lambda: subprocess.run(["gdbus", "introspect", *ours], capture_output=True, text=True).stdout,
                         what="the bus name")
        self.assertIn("Countdown(in  s time)", shown)
        # What each call announces is tst_bus's.
        self.assertEqual(zentimo("--countdown", "3", "--start").returncode, 0)
        wait_for(lambda: zentimo("--status").stdout == "countdown alarm 00:00:00\n", timeout=8, what="the alarm")
        self.assertEqual(zentimo("--stop").returncode, 0)
        self.assertEqual(zentimo("--status").stdout, "countdown stopped 00:00:00\n")

    def test_without_a_bus_the_options_act_on_the_start_itself(self):
        no_bus = {"DBUS_SESSION_BUS_ADDRESS": "unix:path=/nonexistent"}
        app = self.launch(extra_env=no_bus, args=("--countdown", "2", "--start"), accessible=False)
        wait_for(lambda: app.audio_peak() > 3000, timeout=8, what="audible alarm")
        self.assertFalse(os.path.exists(app.registry), "settings written")
