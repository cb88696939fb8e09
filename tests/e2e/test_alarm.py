"""A countdown typed in and run to "Alarm Off" with the message panel, the flashing button and the sound (real
seconds); what a screen reader finds; and the README's pictures of the windows."""

import os
import time

from zentimo_e2e import BIG, SMALL, Case, find, geometry, picture, pixel, run, text_of, wait_for

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
        names = ["Options", "Presets", "Help", "Reset", "Tray", "About", "Hours spinner", "Countdown Mode"]
        self.assertEqual([n for n in names if find(self.root, n) is None], [], "unseen by a screen reader")
        self.start_countdown("Seconds", "3")
        picture("small-window", self.window)

        message = wait_for(self.message_window, timeout=8, what="the alarm's message window")
        mx, my, _, _ = geometry(message)
        # The panel's cut-away corner shows what lies beneath, not the picture's near-white surround.
        self.assertNotEqual(pixel(mx, my), (254, 254, 254))
        picture("alarm-panel", message, frame=False)
        # Centred, the panel covers the main window's Start button: move it aside.
        run("xdotool", "windowmove", "--sync", str(message), str(mx), str(my + 250))

        # The Start/Stop button flashes red about three times a second.
        x, y, _, _ = geometry(self.window)
        colours = set()
        for _ in range(12):
            r, g, b = pixel(x + 42, y + 71)  # the upper middle of Start
            colours.add(r > 180 and g < 80 and b < 80)
            time.sleep(0.08)
        self.assertEqual(colours, {True, False}, "no red flashing")
        wait_for(lambda: app.audio_peak() > 3000, what="audible alarm")

        app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Start", what="Start caption")
        time.sleep(0.3)
        mark = os.path.getsize(app.audio)
        time.sleep(0.6)
        self.assertLess(app.audio_peak(mark), 50, "silence after Alarm Off")

        # Alarm Off leaves the message; its Close button removes it.
        app.click(message, (584 * 15, 32 * 15, 82 * 15, 70 * 15))
        wait_for(lambda: self.message_window() is None, what="message window closed")

    def test_big_window_counting_down(self):
        self.launch(dict(SEED, Size="1"))
        self.start_countdown("Minutes", "5", BIG)
        picture("big-window", self.window)
