"""Without a session bus, the options act on the start itself (real seconds); over a bus they are tst_bus's."""

import os

from zentimo_e2e import Case, wait_for


class CommandLineTest(Case):
    def test_without_a_bus_the_options_act_on_the_start_itself(self):
        no_bus = {"DBUS_SESSION_BUS_ADDRESS": "unix:path=/nonexistent"}
        app = self.launch(extra_env=no_bus, args=("--countdown", "2", "--start"), accessible=False)
        wait_for(lambda: app.audio_peak() > 3000, timeout=8, what="audible alarm")
        self.assertFalse(os.path.exists(app.registry), "settings written")
