"""First start, the registry file, and what a screen reader finds."""

import os
import re
import unittest

from zentimo_e2e import Zentimo, find, find_app, main, wait_for


class StartupTest(unittest.TestCase):
    def setUp(self):
        self.app = Zentimo()

    def tearDown(self):
        self.app.cleanup()

    def test_first_start_shows_small_window_and_stores_size(self):
        self.app.start()
        window = self.app.wait_window()
        _, _, width, height = self.app.geometry(window)
        self.assertEqual((width, height), (231, 134))
        wait_for(lambda: os.path.exists(self.app.registry), what="registry file")
        text = self.app.read_registry()
        self.assertTrue(text.startswith("Zentimo Registry Version 1"))
        self.assertRegex(text, r'\[HKEY_CURRENT_USER\\Software\\Fernwick\\Zentimo\\Options\]\s*\n"Size"="0"')
        self.app.screenshot("startup-first-start")

    def test_hand_written_lines_survive(self):
        folder = os.path.join(self.app.config, "zentimo")
        os.makedirs(folder)
        with open(self.app.registry, "w", encoding="utf-8") as f:
            f.write("Windows Registry Editor Version 5.00\n\n"
                    "; a comment written by hand\n"
                    "[HKEY_CURRENT_USER\\Software\\Fernwick\\Zentimo\\Options]\n"
                    '"Counter"=dword:00000010\n'
                    "this line means nothing\n")
        self.app.start()
        self.app.wait_window()
        wait_for(lambda: '"Size"="0"' in self.app.read_registry(), what="Size written")
        text = self.app.read_registry()
        for line in ("; a comment written by hand", '"Counter"=dword:00000010', "this line means nothing"):
            self.assertIn(line, text)

    def test_screen_reader_finds_every_control(self):
        self.app.start()
        self.app.wait_window()
        root = find_app()
        names = ["Start", "Options", "Presets", "Help", "Reset", "Tray", "About",
                 "Hours", "Minutes", "Seconds", "Hours spinner", "Minutes spinner", "Seconds spinner",
                 "Countdown Mode", "Deactivated"]
        missing = [n for n in names if find(root, n) is None]
        self.assertEqual(missing, [])
        self.assertIsNotNone(find(root, "Zentimo", role="frame"))


if __name__ == "__main__":
    main()
