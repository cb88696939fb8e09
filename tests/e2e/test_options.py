"""The Options and Colors dialogs driven as a user would: real clicks on what a screen reader finds, the real
file dialog with a typed path, then the main window and the registry file, and a second start."""

import os
import subprocess
import time
import unittest
import wave

from zentimo_e2e import (Zentimo, atspi, click_node, find, find_app, find_described, gone, is_checked, main, run,
                         seek, text_of, wait_for, walk, window_named)

OPTIONS_BUTTON = (1170, 960, 735, 345)  # twips in the small window
BIG_OPTIONS_BUTTON = (6030, 2850, 1605, 525)  # twips in the big window


def fraction_of(png, colour, box):
    """The share of pixels within 12% of colour inside box (x, y, w, h) of the picture."""
    x, y, w, h = box
    out = subprocess.run(["convert", png, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-fuzz", "12%",
                          "-fill", "white", "-opaque", colour, "-fill", "black", "+opaque", "white",
                          "-colorspace", "gray", "-format", "%[fx:mean]", "info:"],
                         check=True, capture_output=True, text=True).stdout
    return float(out)


def pixel(png, x, y):
    out = subprocess.run(["convert", png, "-crop", f"1x1+{x}+{y}", "-depth", "8", "-format",
                          "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]", "info:"],
                         check=True, capture_output=True, text=True).stdout
    return tuple(int(v) for v in out.split())


def write_wav(path):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(8000)
        w.writeframes(bytes([128, 200, 128, 56]) * 2000)


class OptionsTest(unittest.TestCase):
    def setUp(self):
        self.app = Zentimo()
        self.sound = os.path.join(self.app.tmp, "morning bell.wav")
        write_wav(self.sound)

    def tearDown(self):
        self.app.cleanup()

    @staticmethod
    def control(root, name, role=None):
        return seek(root, lambda r: find(r, name, role), name)

    @staticmethod
    def field(root, name):
        """A time field of the window on screen (its caption label may read the same)."""
        Atspi = atspi()

        def look(r):
            for node in walk(r):
                try:
                    if (node.get_name() == name and node.get_role_name() != "label"
                            and node.get_state_set().contains(Atspi.StateType.SHOWING)
                            and node.get_text_iface() is not None):
                        return node
                except Exception:
                    continue
            return None

        return seek(root, look, "field " + name)

    def test_wake_mode_big_window_cyan_on_blue_survives_a_restart(self):
        app = self.app
        app.start()
        small = window_named(app, "Zentimo", 15)
        root = find_app()
        app.click_twips(small, *OPTIONS_BUTTON)
        options = window_named(app, "Options")

        click_node(self.control(root, "Wake", "radio button"), options)
        click_node(self.control(root, "File", "radio button"), options)
        wait_for(lambda: is_checked(self.control(root, "File", "radio button")), what="File chosen")
        click_node(seek(root, lambda r: find_described(r, "Select", "Select sound file"), "file Select"), options)
        window_named(app, "Select Sound File...")
        app.screenshot("options-file-dialog")
        app.type_text(self.sound)
        app.key("Return")
        try:
            wait_for(lambda: gone(app, "Select Sound File..."), 3, what="file dialog closed")
        except AssertionError:
            app.key("Return")  # the first Return may only have taken the completer's choice
            wait_for(lambda: gone(app, "Select Sound File..."), 5, what="file dialog closed")
        self.control(root, self.sound, "label")

        click_node(self.control(root, "Loop", "radio button"), options)
        click_node(self.control(root, "Show Message", "check box"), options)
        click_node(self.control(root, "Message text", "text"), options)
        app.type_text("Rise and shine")
        click_node(self.control(root, "Big", "radio button"), options)
        click_node(self.control(root, "Play Sound", "check box"), options)
        click_node(self.control(root, "Keep window on top of all others.", "check box"), options)

        click_node(seek(root, lambda r: find_described(r, "Select", "Select colors"), "colours Select"), options)
        colors = window_named(app, "Colors")
        click_node(self.control(root, "Cyan digits", "radio button"), colors)
        click_node(self.control(root, "Blue background", "radio button"), colors)
        click_node(self.control(root, "Light blue", "push button"), colors)
        wait_for(lambda: is_checked(self.control(root, "Light blue buttons", "radio button")),
                 what="light blue buttons chosen by their sample")
        app.screenshot("options-colors-chosen")
        click_node(self.control(root, "OK", "push button"), colors)
        wait_for(lambda: gone(app, "Colors"), what="Colors closed")

        for name in ("Wake", "Loop", "Big", "File"):
            self.assertTrue(is_checked(self.control(root, name, "radio button")), name)
        self.assertEqual(text_of(self.control(root, "Message text", "text")), "Rise and shine")
        app.screenshot("options-filled")
        click_node(self.control(root, "Done", "push button"), options)
        wait_for(lambda: gone(app, "Options"), what="Options closed")

        self.check_big_window(root, self.big_window(), wake=True)
        app.screenshot("options-after-done")

        stored = app.read_registry()
        for line in ('"Size"="1"', '"Loop Sound"="True"', '"Auto Restart"="0"', '"On Top"="True"',
                     '"Background Color"="2"', '"Digit Color"="16776960"', '"Button Color"="16744576"',
                     '"Sound File"="%s"' % self.sound, '"Play Sound"="False"', '"Built-in Sound"="107"',
                     '"Use Built-in"="False"', '"Show Message"="True"', '"Alarm Message"="Rise and shine"'):
            self.assertIn(line, stored)

        app.stop()
        app.start()
        window_named(app, "Zentimo", 15)
        root = find_app()
        big = self.big_window()
        self.check_big_window(root, big, wake=False)
        self.assertIn("_NET_WM_STATE_ABOVE", run("xprop", "-id", str(big), "_NET_WM_STATE").stdout)
        app.screenshot("options-after-restart")

        # The dialog opens on what was saved, the mode aside.
        app.click_twips(big, *BIG_OPTIONS_BUTTON)
        options = window_named(app, "Options")
        for name in ("Countdown", "Loop", "Big", "File"):
            self.assertTrue(is_checked(self.control(root, name, "radio button")), name)
        self.assertTrue(is_checked(self.control(root, "Show Message", "check box")))
        self.assertTrue(is_checked(self.control(root, "Keep window on top of all others.", "check box")))
        self.assertFalse(is_checked(self.control(root, "Play Sound", "check box")))
        self.assertEqual(text_of(self.control(root, "Message text", "text")), "Rise and shine")
        self.control(root, self.sound, "label")
        click_node(self.control(root, "Cancel", "push button"), options)
        wait_for(lambda: gone(app, "Options"), what="Options closed")

    def big_window(self):
        def look():
            return [w for w in self.app.windows() if self.app.geometry(w)[2] > 500]

        return wait_for(look, 15, what="big window")[0]

    def check_big_window(self, root, window, wake):
        mode = "Wake Mode" if wake else "Countdown Mode"
        self.control(root, mode)
        seconds = self.field(root, "AM/PM" if wake else "Seconds")
        hours = text_of(self.field(root, "Hours"))
        minutes = text_of(self.field(root, "Minutes"))
        if wake:
            now = time.gmtime()
            hour12 = now.tm_hour % 12 or 12
            self.assertEqual(text_of(seconds), "a" if now.tm_hour < 12 else "p")
            self.assertEqual(int(hours), hour12)
            self.assertLessEqual(abs(int(minutes) - now.tm_min) % 59, 1)
        else:
            self.assertEqual((hours, minutes, text_of(seconds)), ("00", "00", "00"))

        time.sleep(0.3)  # let the last repaint reach the server
        shot = os.path.join(self.app.tmp, "big.png")
        run("import", "-window", str(window), shot)
        r, g, b = pixel(shot, 4, 4)
        self.assertTrue(b > 200 and r < 40 and g < 40, (r, g, b))  # the top of the blue gradient
        # Hours field: 90, 420, 3210, 2325 twips.
        field = (6 + 10, 28 + 10, 214 - 20, 155 - 20)
        self.assertGreater(fraction_of(shot, "#00FFFF", field), 0.03)
        self.assertLess(fraction_of(shot, "#FFFF00", field), 0.001)
        # Options button: 6030, 2850, 1605, 525 twips; light blue beside its caption, whatever the shading.
        r, g, b = pixel(shot, 402 + 6, 190 + 17)
        self.assertTrue(b > r + 50 and abs(r - g) < 20, (r, g, b))


if __name__ == "__main__":
    main()
