"""A countdown typed in and run to "Alarm Off" with the message panel, the flashing button and the sound (real
seconds); what a screen reader finds; and the README's pictures of the windows."""

import time

from zentimo_e2e import BIG, SMALL, Case, find, geometry, grab, move_pointer, picture, pixel, run, text_of, wait_for

SEED = {"Show Message": "True", "Alarm Message": "Tea is ready - take it out now"}


class AlarmTest(Case):
    def message_window(self):
        return next((w for w in self.app.windows() if geometry(w)[2:] == (692, 124)), None)

    def start_countdown(self, field, text, layout=SMALL):
        self.app.set_field(self.window, field, text, layout)
        wait_for(lambda: text_of(find(self.root, field, "text")) == "%02d" % int(text), what=field + " " + text)
        self.app.click(self.window, "Start", layout)
        wait_for(lambda: self.caption() == "Stop", what="Stop caption")

    def test_countdown_to_alarm_off(self):
        app = self.launch(SEED)
        names = ["Start", "Options", "Presets", "Help", "Reset", "Tray", "About", "Hours", "Minutes", "Seconds",
                 "Hours spinner", "Minutes spinner", "Seconds spinner", "Countdown Mode", "Deactivated"]
        self.assertEqual([n for n in names if find(self.root, n) is None], [], "unseen by a screen reader")
        self.start_countdown("Seconds", "3")
        self.assertIsNotNone(find(self.root, "Activated"))
        picture("small-window", self.window)

        wait_for(lambda: self.caption() == "Alarm Off", timeout=8, what="Alarm Off")
        message = wait_for(self.message_window, what="message window")
        mx, my, _, _ = geometry(message)
        # The panel's cut-away corner shows what lies beneath, not the picture's near-white surround.
        self.assertNotEqual(pixel(mx, my), (254, 254, 254))
        # The LED text moves through the strip.
        before = grab(mx + 30, my + 48, 521, 47)
        time.sleep(0.5)
        self.assertNotEqual(before, grab(mx + 30, my + 48, 521, 47))
        picture("alarm-panel", message, frame=False)

        # Centred, the panel covers the main window: drag it aside by its metal.
        move_pointer(mx + 200, my + 12)
        run("xdotool", "mousedown", "1")
        for step in range(1, 11):
            run("xdotool", "mousemove", "--sync", str(mx + 200), str(my + 12 + 25 * step))
        run("xdotool", "mouseup", "1")
        wait_for(lambda: geometry(message)[1] > my + 150, what="message window dragged down")

        # The Start/Stop button flashes red about three times a second.
        x, y, _, _ = geometry(self.window)
        left, top, width, _ = SMALL["Start"]
        colours = set()
        for _ in range(12):
            r, g, b = pixel(x + round((left + width / 2) / 15), y + round((top + 100) / 15))
            colours.add(r > 180 and g < 80 and b < 80)
            time.sleep(0.08)
        self.assertEqual(colours, {True, False}, "no red flashing")
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
        mx, my, _, _ = geometry(message)
        move_pointer(mx + 584 + 41, my + 32 + 35)
        run("xdotool", "click", "1")
        wait_for(lambda: self.message_window() is None, what="message window closed")

    def test_big_window_counting_down(self):
        self.launch(dict(SEED, Size="1"))
        self.start_countdown("Minutes", "5", BIG)
        picture("big-window", self.window)
