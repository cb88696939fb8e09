"""A countdown run to "Alarm Off" with panel, flashing and sound (real seconds); the README's pictures."""

import os
import time

from zentimo_e2e import Case, find, geometry, key, picture, pixel, run, text_of, wait_for


class AlarmTest(Case):
    def test_countdown_to_alarm_off(self):
        app = self.launch({"Show Message": "True", "Alarm Message": "Tea is ready - take it out now"})
        names = ["Options", "Presets", "Help", "Reset", "Tray", "About", "Hours spinner", "Countdown Mode"]
        self.assertEqual([n for n in names if find(self.root, n) is None], [], "unseen by a screen reader")
        app.click(self.window, "Seconds")  # which empties it
        run("xdotool", "type", "--delay", "30", "3")
        key("Tab")
        wait_for(lambda: text_of(find(self.root, "Seconds", "text")) == "03", what="Seconds 3")
        app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Stop", what="Stop caption")
        picture("small-window", self.window)

        message = wait_for(lambda: [w for w in app.windows() if geometry(w)[2:] == (692, 124)], timeout=8,
                           what="the alarm's message window")[0]
        picture("alarm-panel", message, frame=False)
        self.control("Tea is ready - take it out now", "notification")  # as a screen reader announces the panel
        mx, my, _, _ = geometry(message)
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
