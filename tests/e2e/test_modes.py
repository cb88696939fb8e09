"""The other roads through the program, in real seconds: a wake alarm at a set clock time (faketime) with
Snooze and Stop, the stopwatch with Stop/Start/Reset, a countdown restarting by itself after a sound played
once, and closing during an alarm."""

import time
import unittest

from zentimo_e2e import (SMALL, Zentimo, click_node, find, find_app, gone, main, run, seek, text_of, wait_for,
                         window_named)


def tray_icons():
    return run("xwininfo", "-root", "-tree").stdout.count('"YXTrayEmbedder"')


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

    def test_stopwatch_stop_start_reset(self):
        app = self.launch()
        self.choose_mode("Stopwatch")
        self.assertIsNotNone(find(self.root, "Stopwatch Mode"))
        app.click(self.window, "Start")
        wait_for(lambda: self.fields() == "00:00:02", timeout=5, what="two seconds counted")
        app.click(self.window, "Start")
        stopped = self.fields()
        time.sleep(1.5)
        self.assertEqual(self.fields(), stopped, "Stop holds the time")
        app.click(self.window, "Start")
        wait_for(lambda: self.fields() > stopped, timeout=3, what="counting on from where Stop left it")
        app.click(self.window, "Start")
        app.click(self.window, "Reset")
        wait_for(lambda: self.fields() == "00:00:00", what="reset")

    def test_auto_restart_with_a_sound_played_once(self):
        app = self.launch(seed={"Auto Restart": "1", "Loop Sound": "False", "Built-in Sound": "103"})
        app.set_field(self.window, "Seconds", "3")
        app.click(self.window, "Start")
        wait_for(lambda: app.audio_peak() > 3000, timeout=8, what="the buzzer at the first alarm")
        # The countdown has started again by itself from 00:00:03.
        self.assertEqual(self.caption(), "Stop")
        wait_for(lambda: self.fields() in ("00:00:02", "00:00:01"), timeout=3, what="counting again")
        mark = len(app.audio_bytes())
        wait_for(lambda: app.audio_peak(mark) > 3000, timeout=6, what="the buzzer at the second alarm")
        app.screenshot("modes-auto-restart")

    def test_closing_during_an_alarm_leaves_nothing_behind(self):
        app = self.launch()
        before = tray_icons()
        app.set_field(self.window, "Seconds", "3")
        app.click(self.window, "Start")
        app.click(self.window, "Tray")
        wait_for(lambda: tray_icons() == before + 1, what="tray icon")
        window = wait_for(lambda: app.windows(), timeout=8, what="window back at the alarm")[0]
        wait_for(lambda: tray_icons() == before, what="icon removed by the alarm")
        wait_for(lambda: app.audio_peak() > 3000, what="audible alarm")
        # The window manager's close shortcut, as a user would press it.
        run("xdotool", "windowactivate", "--sync", str(window))
        run("xdotool", "key", "alt+F4")
        self.assertEqual(app.proc.wait(10), 0)
        self.assertEqual(tray_icons(), before)


if __name__ == "__main__":
    main()
