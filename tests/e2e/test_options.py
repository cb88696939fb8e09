"""Options, colours and a preset chosen as a user would (real clicks on what a screen reader finds, the real
file dialog with a typed path), then kept across a restart."""

import os
import time
import wave

from zentimo_e2e import (BIG, Case, click_node, find, find_app, gone, is_checked, main, run, seek, text_of, wait_for,
                         walk, window_named)

# Twips rectangles of the Presets dialog's buttons.
ADD = (90, 480, 3255, 435)
CLOSE = (2580, 960, 765, 435)


def share(app, colour, x, y, width, height):
    """The share of screen pixels in the rectangle within 12% of colour (r, g, b)."""
    data = app.grab(x, y, width, height)
    near = sum(1 for i in range(0, len(data), 3)
               if sum((data[i + k] - colour[k]) ** 2 for k in range(3)) <= 3 * (0.12 * 255) ** 2)
    return near / (width * height)


class OptionsTest(Case):
    def control(self, name, role=None):
        return seek(self.root, lambda r: find(r, name, role), name)

    def big_window(self):
        """The big main window, looked up afresh: the one first shown may still be replaced."""
        return wait_for(lambda: [w for w in self.app.windows() if self.app.geometry(w)[2] > 500], 15, what="big")[0]

    def test_options_colours_and_a_preset_survive_a_restart(self):
        app = self.launch()
        small = self.window
        sound = os.path.join(app.tmp, "morning bell.wav")
        with wave.open(sound, "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(1)
            w.setframerate(8000)
            w.writeframes(bytes([128, 200, 128, 56]) * 2000)
        app.set_field(small, "Minutes", "5")
        app.click(small, "Presets")
        presets = window_named(app, "Presets - Countdown Mode")
        app.click_twips(presets, *ADD)
        app.click_twips(presets, *CLOSE)
        wait_for(lambda: gone(app, "Presets - Countdown Mode"), what="Presets closed")

        app.click(small, "Options")
        options = window_named(app, "Options")
        click_node(self.control("File", "radio button"), options)
        wait_for(lambda: is_checked(self.control("File", "radio button")), what="File chosen")
        click_node(seek(self.root, lambda r: find(r, "Select", description="Select sound file"), "Select"), options)
        window_named(app, "Select Sound File...")
        app.type_text(sound)
        app.key("Return")
        try:
            wait_for(lambda: gone(app, "Select Sound File..."), 3, what="file dialog closed")
        except AssertionError:
            app.key("Return")  # the first Return may only have taken the completer's choice
            wait_for(lambda: gone(app, "Select Sound File..."), 5, what="file dialog closed")
        self.control(sound, "label")

        click_node(self.control("Loop", "radio button"), options)
        click_node(self.control("Show Message", "check box"), options)
        click_node(self.control("Message text", "text"), options)
        app.type_text("Rise and shine")
        click_node(self.control("Big", "radio button"), options)
        click_node(self.control("Play Sound", "check box"), options)
        click_node(self.control("Keep window on top of all others.", "check box"), options)

        click_node(seek(self.root, lambda r: find(r, "Select", description="Select colors"), "colours Select"), options)
        colors = window_named(app, "Colors")
        click_node(self.control("Cyan digits", "radio button"), colors)
        click_node(self.control("Blue background", "radio button"), colors)
        click_node(self.control("Light blue", "push button"), colors)
        wait_for(lambda: is_checked(self.control("Light blue buttons", "radio button")),
                 what="light blue buttons chosen by their sample")
        click_node(self.control("OK", "push button"), colors)
        wait_for(lambda: gone(app, "Colors"), what="Colors closed")
        click_node(self.control("Done", "push button"), options)
        wait_for(lambda: gone(app, "Options"), what="Options closed")

        app.stop()
        app.start()
        big = self.big_window()
        self.root = find_app()
        self.assertIn("_NET_WM_STATE_ABOVE", run("xprop", "-id", str(big), "_NET_WM_STATE").stdout)
        time.sleep(0.5)  # let the first paint reach the server
        x, y, _, _ = app.geometry(big)
        # The top of the blue gradient; cyan digits in the Hours field (90, 420, 3210, 2325 twips), no yellow.
        r, g, b = app.pixel(x + 4, y + 4)
        self.assertTrue(b > 200 and r < 40 and g < 40, (r, g, b))
        self.assertGreater(share(app, (0, 255, 255), x + 16, y + 38, 194, 135), 0.03)
        self.assertLess(share(app, (255, 255, 0), x + 16, y + 38, 194, 135), 0.001)
        # The Options button (6030, 2850, 1605, 525 twips): light blue beside its caption, whatever the shading.
        r, g, b = app.pixel(x + 408, y + 207)
        self.assertTrue(b > r + 50 and abs(r - g) < 20, (r, g, b))

        # The dialog opens on what was saved.
        app.click(self.big_window(), "Options", BIG)
        options = window_named(app, "Options")
        for name in ("Loop", "Big", "File"):
            self.assertTrue(is_checked(self.control(name, "radio button")), name)
        self.assertTrue(is_checked(self.control("Show Message", "check box")))
        self.assertTrue(is_checked(self.control("Keep window on top of all others.", "check box")))
        self.assertFalse(is_checked(self.control("Play Sound", "check box")))
        self.assertEqual(text_of(self.control("Message text", "text")), "Rise and shine")
        self.control(sound, "label")
        click_node(self.control("Cancel", "push button"), options)
        wait_for(lambda: gone(app, "Options"), what="Options closed")

        app.click(self.big_window(), "Presets", BIG)
        window_named(app, "Presets - Countdown Mode")
        combo = seek(self.root, lambda r: next((n for n in walk(r) if n.get_role_name() == "combo box"), None),
                     "preset list")
        self.assertEqual([text_of(n) for n in walk(combo) if n.get_role_name() in ("list item", "menu item")],
                         ["00:05:00"])


if __name__ == "__main__":
    main()
