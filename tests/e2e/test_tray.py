"""The notification-area icon in icewm's tray, driven with real clicks: a single click that does nothing, a
double click that restores, the right-click menu with About, and Exit leaving no icon behind."""

import time

from zentimo_e2e import Case, geometry, key, move_pointer, run, wait_for


def mapped(window):
    return "IsViewable" in run("xwininfo", "-id", str(window), check=False).stdout


def in_tray(window):
    out = run("xwininfo", "-id", str(window), "-tree", check=False).stdout
    return any("Parent window id:" in line and '"YXTrayEmbedder"' in line for line in out.splitlines())


def skips_taskbar(window):
    return "_NET_WM_STATE_SKIP_TASKBAR" in run("xprop", "-id", str(window), "_NET_WM_STATE").stdout


def click_at(window, button=1, repeat=1):
    x, y, width, height = geometry(window)
    move_pointer(x + width // 2, y + height // 2)
    run("xdotool", "click", "--repeat", str(repeat), "--delay", "80", str(button))


class TrayTest(Case):
    def icons(self):
        return [w for w in self.app.windows(None) if in_tray(w)]

    def go_to_tray(self):
        self.app.click(self.window, "Tray")
        wait_for(lambda: not mapped(self.window), what="main window hidden")
        return wait_for(self.icons, what="tray icon")[0]

    def open_menu(self, icon):
        """The pop-up menu: while the main window is hidden, our only visible window besides the icon."""
        click_at(icon, button=3)
        wait_for(lambda: len([w for w in self.app.windows(None) if not in_tray(w)]) == 1, what="the tray menu")

    def test_round_trip(self):
        self.launch()
        icon = self.go_to_tray()
        click_at(icon)
        time.sleep(1.0)  # a double click would have arrived by now
        self.assertFalse(mapped(self.window), "a single click restored the window")

        # The menu holds the keyboard: Restore, (separator), About.
        self.open_menu(icon)
        key("Down", "Down", "Return")
        box = self.app.wait_window("About...")
        wait_for(lambda: run("xdotool", "getactivewindow", check=False).stdout.strip() == str(box),
                 what="the About box to take the keyboard")
        self.assertTrue(skips_taskbar(box))
        self.assertFalse(mapped(self.window), "About from the tray showed the main window")
        key("Return")
        wait_for(lambda: not self.app.windows("About..."), what="About box closed")
        time.sleep(0.5)
        self.assertIsNone(self.app.proc.poll(), "closing the About box ended the program")

        click_at(icon, repeat=2)
        wait_for(lambda: mapped(self.window), what="window restored by the double click")
        wait_for(lambda: not self.icons(), what="icon removed")
        # The taskbar entry that the tray took away stays away.
        self.assertTrue(skips_taskbar(self.window))

        self.open_menu(self.go_to_tray())
        key("Up", "Return")  # the last item, Exit
        self.assertEqual(self.app.proc.wait(10), 0)
        wait_for(lambda: '"YXTrayEmbedder"' not in run("xwininfo", "-root", "-tree").stdout, what="the tray emptied")
