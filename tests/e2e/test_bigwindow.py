"""The big window as a user meets it: its layout, and a countdown started there reaching its alarm with the
message window above it (real seconds)."""

import unittest

from zentimo_e2e import BIG, Zentimo, find, find_app, main, text_of, wait_for

MESSAGE_SIZE = (692, 124)


class BigWindowTest(unittest.TestCase):
    def setUp(self):
        self.app = Zentimo()
        self.app.seed({"Size": "1", "Show Message": "True", "Alarm Message": "Big window alarm"})
        self.app.start()
        self.window = self.app.wait_window()
        self.root = find_app()

    def tearDown(self):
        self.app.cleanup()

    def test_countdown_from_the_big_window(self):
        app = self.app
        self.assertEqual(app.geometry(self.window)[2:], (734, 292))
        app.screenshot("big-1-idle")
        app.set_field(self.window, "Seconds", "2", layout=BIG)
        wait_for(lambda: text_of(find(self.root, "Seconds", role="text")) == "02", what="seconds 02")
        app.click(self.window, "Start", layout=BIG)
        start = find(self.root, "Stop")
        self.assertIsNotNone(start)
        app.picture("big-window", self.window)
        wait_for(lambda: find(self.root, "Alarm Off") is not None, timeout=8, what="Alarm Off")
        message = wait_for(lambda: [w for w in app.windows() if app.geometry(w)[2:] == MESSAGE_SIZE],
                           what="message window")[0]
        # The message window stands above the big window: its middle shows the panel, not the digits.
        mx, my, _, _ = app.geometry(message)
        r, g, b = app.pixel(mx + 300, my + 10)
        self.assertTrue(abs(r - g) < 40 and abs(g - b) < 40, "grey metal panel on top, got %r" % ((r, g, b),))
        app.screenshot("big-2-alarm")
        # The small window stayed hidden throughout.
        self.assertEqual(len([w for w in app.windows() if app.geometry(w)[2:] == (231, 134)]), 0)


if __name__ == "__main__":
    main()
