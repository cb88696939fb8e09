"""A wake alarm at a set clock time (faketime) with Snooze and Stop, in real seconds."""

import unittest

from zentimo_e2e import Zentimo, click_node, find, find_app, gone, main, seek, text_of, wait_for, window_named


class ModesTest(unittest.TestCase):
    app = None

    def tearDown(self):
        if self.app:
            self.app.cleanup()

    def launch(self, seed=None, **kwargs):
        self.app = Zentimo(**kwargs)
        if seed:
            self.app.seed(seed)
        self.app.start()
        self.window = window_named(self.app, "Zentimo", 15)
        self.root = find_app()
        return self.app

    def fields(self):
        third = find(self.root, "Seconds", role="text") or find(self.root, "AM/PM", role="text")
        return ":".join(text_of(node) for node in (find(self.root, "Hours", role="text"),
                                                   find(self.root, "Minutes", role="text"), third))

    def caption(self):
        for name in ("Start", "Stop", "Alarm Off", "Snooze"):
            if find(self.root, name, role="push button"):
                return name
        return None

    def choose_mode(self, mode):
        self.app.click(self.window, "Options")
        options = window_named(self.app, "Options")
        click_node(seek(self.root, lambda r: find(r, mode, "radio button"), mode), options)
        click_node(seek(self.root, lambda r: find(r, "Done", "push button"), "Done"), options)
        wait_for(lambda: gone(self.app, "Options"), what="Options closed")

    def test_wake_alarm_snooze_then_stop(self):
        app = self.launch(faketime="2026-12-06 07:29:52", tz="UTC",
                          extra_env={"FAKETIME_DONT_FAKE_MONOTONIC": "1"})
        self.choose_mode("Wake")
        self.assertEqual(self.fields(), "07:29:a")
        self.assertIsNotNone(find(self.root, "Wake Mode"))
        app.set_field(self.window, "Minutes", "30")
        wait_for(lambda: self.fields() == "07:30:a", what="wake time 07:30 a")
        app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Stop", what="waiting for the wake time")
        wait_for(lambda: self.caption() == "Snooze", timeout=15, what="Snooze at 07:30")
        wait_for(lambda: app.audio_peak() > 3000, what="audible wake alarm")
        app.screenshot("modes-wake-snooze")
        app.click(self.window, "Start")
        wait_for(lambda: self.fields() == "07:40:a", what="snoozed to 07:40")
        self.assertEqual(self.caption(), "Stop")
        app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Start", what="stopped")
        self.assertIsNotNone(find(self.root, "Deactivated"))


if __name__ == "__main__":
    main()
