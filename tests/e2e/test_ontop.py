"""With "On Top", every round trip out of the top band and back (About, Presets, Options) leaves the main
window where it was, at its size, and above again."""

from zentimo_e2e import Case, click_at, geometry, key, run, wait_for

# Twips rectangles of the small window's buttons that open a dialog, with its title and the key closing it.
DIALOGS = [((2670, 1320, 735, 345), "About...", "Return"), ((1920, 960, 735, 345), "Presets - Countdown Mode", "Escape"),
           ((1170, 960, 735, 345), "Options", "Escape")]


def above(window):
    return "_NET_WM_STATE_ABOVE" in run("xprop", "-id", str(window), "_NET_WM_STATE", check=False).stdout


class OnTopTest(Case):
    def round_trip(self, button, title, closing_key):
        """Opens a dialog by its button, sees the window leave the top band, closes it; the window's place."""
        left, top, width, height = button
        x, y, _, _ = geometry(self.window)
        click_at(x + round((left + width / 2) / 15), y + round((top + height / 2) / 15))
        dialog = self.app.wait_window(title)
        wait_for(lambda: not above(self.window), what="the window out of the top band")
        wait_for(lambda: run("xdotool", "getactivewindow", check=False).stdout.strip() == str(dialog),
                 what=title + " to take the keyboard")
        key(closing_key)
        wait_for(lambda: not self.app.windows(title), what=title + " closed")
        # Found again by its title: a window re-created for the change would have a new id.
        self.window = self.app.wait_window()
        wait_for(lambda: above(self.window), what="the window back in the top band")
        return geometry(self.window)

    def test_round_trips_keep_the_window_in_place(self):
        self.launch({"On Top": "True"})
        wait_for(lambda: above(self.window), what="the window in the top band")
        start = geometry(self.window)
        seen = [self.round_trip(*dialog) for dialog in DIALOGS * 2]
        self.assertEqual(seen, [start] * len(seen))
