"""The notification-area icon in icewm's XEmbed tray, driven with real clicks: the menu's About box, a double
click back. A StatusNotifierItem host's activation is the real desktops' (tests/desktops)."""

import time

from zentimo_e2e import Case, click_at, geometry, key, run, wait_for, wm_state


def mapped(window):
    return "IsViewable" in run("xwininfo", "-id", str(window), check=False).stdout


def in_tray(window):
    out = run("xwininfo", "-id", str(window), "-tree", check=False).stdout
    return any("Parent window id:" in line and '"YXTrayEmbedder"' in line for line in out.splitlines())


def click_middle(window, **kw):
    x, y, width, height = geometry(window)
    click_at(x + width // 2, y + height // 2, **kw)


class TrayTest(Case):
    def test_round_trip(self):
        self.launch()
        self.app.click(self.window, "Tray")
        wait_for(lambda: not mapped(self.window), what="main window hidden")
        icons = wait_for(lambda: [w for w in self.app.windows(None) if in_tray(w)], what="tray icon")
        # The menu, our only visible window outside the tray, holds the keyboard: Restore, (separator), About.
        # A click that reaches the icon before icewm has settled it opens nothing: click again after a while.
        menu = lambda: [w for w in self.app.windows(None) if not in_tray(w)]
        wait_for(lambda: menu() or click_middle(icons[0], button=3) or time.sleep(1), what="the tray menu")
        key("Down", "Down", "Return")
        box = self.app.wait_window("About...")
        wait_for(lambda: run("xdotool", "getactivewindow", check=False).stdout.strip() == str(box),
                 what="the About box to take the keyboard")
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", wm_state(box))
        self.assertFalse(mapped(self.window), "About from the tray showed the main window")
        key("Return")
        wait_for(lambda: not self.app.windows("About..."), what="About box closed")

        click_middle(icons[0], repeat=2)
        wait_for(lambda: mapped(self.window), what="window restored by the double click")
        wait_for(lambda: not set(icons) & set(self.app.windows(None)), what="icon removed")
        # The taskbar entry that the tray took away stays away.
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", wm_state(self.window))
