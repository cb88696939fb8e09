"""Presets survive a restart and load into both main windows, through real clicks and keys."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

from zentimo_e2e import BIG, SHOTS, SMALL, Zentimo, find, find_app, main, run, text_of, walk, wait_for

# Twips rectangles (Left, Top, Width, Height) of the dialog's controls.
COMBO1 = (1140, 90, 2205, 315)
ADD = (90, 480, 3255, 435)
LOAD = (1380, 960, 1155, 435)
CLOSE = (2580, 960, 765, 435)

COUNTDOWN_TITLE = "Presets - Countdown Mode"

class PresetsTest(unittest.TestCase):
    def setUp(self):
        self.config = tempfile.mkdtemp(prefix="zentimo-presets-")
        self.app = None

    def tearDown(self):
        if self.app:
            self.app.cleanup()
        shutil.rmtree(self.config, ignore_errors=True)

    def quit(self):
        """Closes the program as a user would, so that it leaves the accessibility bus cleanly."""
        if self.app and self.app.proc.poll() is None:
            for window in self.windows("Zentimo"):
                run("xdotool", "windowactivate", "--sync", str(window), check=False)
                self.app.key("alt+F4")
            try:
                self.app.proc.wait(10)
            except subprocess.TimeoutExpired:
                pass  # cleanup() ends it

    def launch(self):
        if self.app:
            self.quit()
            self.app.cleanup()
        self.app = Zentimo(config_dir=self.config).start()
        window = self.wait_window("Zentimo")
        self.root = find_app()
        return self.settle(window)

    def windows(self, name):
        # --all: xdotool joins --pid and --name with "or" unless told otherwise.
        out = run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.app.proc.pid),
                  "--name", "^" + name + "$", check=False).stdout
        return [int(w) for w in out.split()]

    def wait_window(self, name):
        return wait_for(lambda: self.windows(name), 15, what="window " + name)[0]

    def settle(self, window):
        """Waits until the window manager has placed the window where it stays."""
        last = None

        def still():
            nonlocal last
            now = self.app.geometry(window)
            same = now == last
            last = now
            time.sleep(0.1)
            return same

        wait_for(still, what="window placed")
        return window

    def type_into(self, window, field, text, expected):
        self.app.set_field(window, field, text)
        wait_for(lambda: self.field(field) == expected, what=field + " " + expected)

    def field(self, name):
        node = find(self.root, name, role="text")
        return text_of(node) if node is not None else None

    def open_presets(self, window, layout=SMALL):
        self.app.click(window, "Presets", layout)
        return self.settle(self.wait_window(COUNTDOWN_TITLE))

    def shot(self, name, window):
        """The window alone, cut from a screenshot of the whole screen."""
        whole = self.app.screenshot(name + "-screen")
        x, y, w, h = self.app.geometry(window)
        path = os.path.join(SHOTS, name + ".png")
        run("convert", whole, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", path)
        return path

    def combo_items(self, root):
        combo = wait_for(lambda: self.find_role(root, "combo box"), what="preset list")
        items = [text_of(n) for n in walk(combo) if n.get_role_name() in ("list item", "menu item")]
        return combo, items

    @staticmethod
    def find_role(root, role):
        for node in walk(root):
            try:
                if node.get_role_name() == role:
                    return node
            except Exception:
                continue
        return None

    def fields(self):
        return [self.field(name) for name in ("Hours", "Minutes", "Seconds")]

    def test_presets_survive_a_restart_and_load_into_both_windows(self):
        # First run: two countdown presets, each added on its own visit and kept by Close.
        main_window = self.launch()
        for hours, minutes in (("", "5"), ("1", "30")):
            if hours:
                self.type_into(main_window, "Hours", hours, hours.rjust(2, "0"))
            self.type_into(main_window, "Minutes", minutes, minutes.rjust(2, "0"))
            dialog = self.open_presets(main_window)
            self.app.click_twips(dialog, *ADD)
            if minutes == "30":
                _, _, width, height = self.app.geometry(dialog)
                self.assertEqual((width, height), (228, 98))  # client area 3420 x 1470 twips
                states = run("xprop", "-id", str(dialog), "_NET_WM_STATE").stdout
                self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", states)
                self.assertIn("_NET_WM_STATE_MODAL", states)
                self.shot("presets-dialog", dialog)
            self.app.click_twips(dialog, *CLOSE)
            wait_for(lambda: not self.windows(COUNTDOWN_TITLE), what="dialog closed")
        registry = self.app.read_registry()
        self.assertRegex(registry, r'\\Countdown Presets\]\s*\n"Preset0"="00:05:00"\s*\n"Preset1"="01:30:00"')

        # Second run: both listed in order; the first one loads into the small window.
        main_window = self.launch()
        dialog = self.open_presets(main_window)
        root = self.root
        combo, items = self.combo_items(root)
        self.assertEqual(items, ["00:05:00", "01:30:00"])
        self.assertEqual(combo.get_name(), "01:30:00")  # the last one is selected
        self.app.click_twips(dialog, *COMBO1)
        self.app.key("Up", "Return")
        wait_for(lambda: combo.get_name() == "00:05:00", what="first preset selected")
        self.shot("presets-first-selected", dialog)
        self.app.click_twips(dialog, *LOAD)
        wait_for(lambda: self.fields() == ["00", "05", "00"], what="small window fields")
        self.shot("presets-loaded-small", main_window)

        # Third run, big window: the dialog writes the small window's fields and the big one follows.
        self.quit()
        with open(self.app.registry, encoding="utf-8") as f:
            text = f.read()
        with open(self.app.registry, "w", encoding="utf-8") as f:
            f.write(re.sub(r'"Size"="0"', '"Size"="1"', text))
        big_window = self.launch()
        dialog = self.open_presets(big_window, BIG)
        root = self.root
        _, items = self.combo_items(root)
        self.assertEqual(items, ["00:05:00", "01:30:00"])
        self.app.click_twips(dialog, *LOAD)
        wait_for(lambda: self.fields() == ["01", "30", "00"], what="big window fields")
        self.shot("presets-loaded-big", big_window)
        self.assertRegex(self.app.read_registry(),
                         r'\\Countdown Presets\]\s*\n"Preset0"="00:05:00"\s*\n"Preset1"="01:30:00"')


if __name__ == "__main__":
    main()
