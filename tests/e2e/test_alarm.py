"""A countdown from typing the value to "Alarm Off", with the message window, the flashing button and the
sound (real seconds); what a screen reader finds; and the README's pictures of both windows."""

import time

from zentimo_e2e import BIG, SMALL, Case, find, main, move_pointer, run, text_of, wait_for

MESSAGE_SIZE = (692, 124)
SEED = {"Show Message": "True", "Alarm Message": "Tea is ready - take it out now"}


class AlarmTest(Case):
    def message_window(self):
        for w in self.app.windows():
            if self.app.geometry(w)[2:] == MESSAGE_SIZE:
                return w
        return None

    def test_countdown_to_alarm_off(self):
        app = self.launch(SEED)
        names = ["Start", "Options", "Presets", "Help", "Reset", "Tray", "About", "Hours", "Minutes", "Seconds",
                 "Hours spinner", "Minutes spinner", "Seconds spinner", "Countdown Mode", "Deactivated"]
        self.assertEqual([n for n in names if find(self.root, n) is None], [], "unseen by a screen reader")

        app.set_field(self.window, "Seconds", "3")
        wait_for(lambda: text_of(find(self.root, "Seconds", role="text")) == "03", what="seconds field reading 03")
        app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Stop", what="Stop caption")
        self.assertIsNotNone(find(self.root, "Activated"))
        app.picture("small-window", self.window)

        wait_for(lambda: self.caption() == "Alarm Off", timeout=8, what="Alarm Off")
        message = wait_for(self.message_window, what="message window")
        mx, my, _, _ = app.geometry(message)
        # The panel's cut-away corner shows what lies beneath, not the picture's near-white surround.
        self.assertNotEqual(app.pixel(mx, my), (254, 254, 254))
        # The LED text moves through the strip.
        before = app.grab(mx + 30, my + 48, 521, 47)
        time.sleep(0.5)
        self.assertNotEqual(before, app.grab(mx + 30, my + 48, 521, 47))
        app.picture("alarm-panel", message, frame=False)

        # Centred, the panel covers the main window: drag it aside by its metal.
        move_pointer(mx + 200, my + 12)
        run("xdotool", "mousedown", "1")
        for step in range(1, 11):
            run("xdotool", "mousemove", "--sync", str(mx + 200), str(my + 12 + 25 * step))
        run("xdotool", "mouseup", "1")
        wait_for(lambda: app.geometry(message)[1] > my + 150, what="message window dragged down")

        # The Start/Stop button flashes red about three times a second.
        x, y, _, _ = app.geometry(self.window)
        left, top, width, _ = SMALL["Start"]
        bx, by = x + round((left + width / 2) / 15), y + round((top + 100) / 15)
        colours = set()
        for _ in range(12):
            r, g, b = app.pixel(bx, by)
            colours.add("red" if r > 180 and g < 80 and b < 80 else "other")
            time.sleep(0.08)
        self.assertEqual(colours, {"red", "other"})
        wait_for(lambda: app.audio_peak() > 3000, what="audible alarm")

        app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Start", what="Start caption")
        self.assertIsNotNone(find(self.root, "Deactivated"))
        time.sleep(0.3)
        mark = len(app.audio_bytes())
        time.sleep(0.6)
        self.assertLess(app.audio_peak(mark), 50, "silence after Alarm Off")

        # Alarm Off leaves the message; its Close button removes it.
        self.assertIsNotNone(self.message_window())
        mx, my, _, _ = app.geometry(message)
        move_pointer(mx + 584 + 41, my + 32 + 35)
        run("xdotool", "click", "1")
        wait_for(lambda: self.message_window() is None, what="message window closed")

    def test_big_window_counting_down(self):
        app = self.launch(dict(SEED, Size="1"))
        app.set_field(self.window, "Minutes", "5", layout=BIG)
        wait_for(lambda: text_of(find(self.root, "Minutes", role="text")) == "05", what="minutes field reading 05")
        app.click(self.window, "Start", layout=BIG)
        wait_for(lambda: self.caption() == "Stop", what="Stop caption")
        app.picture("big-window", self.window)


if __name__ == "__main__":
    main()
