"""With "On Top", every round trip out of the top band and back (About, Presets, Options, the alarm message)
leaves the main window where it was, at its size, and above again; the big window brought forward by the alarm
gives the band back once its message closes (real seconds)."""

from zentimo_e2e import Case, click_at, geometry, key, picture, run, wait_for, wm_state

# The small window's buttons that open a dialog, with its title and the key closing it.
DIALOGS = [("About", "About...", "Return"), ("Presets", "Presets - Countdown Mode", "Escape"),
           ("Options", "Options", "Escape")]


def above(window):
    return "_NET_WM_STATE_ABOVE" in wm_state(window)


class OnTopTest(Case):
    def round_trip(self, button, title, closing_key):
        self.app.click(self.window, button)
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

    def test_alarm_message_stands_above_the_big_window_and_gives_the_band_back(self):
        self.launch({"On Top": "True", "Size": "1", "Show Message": "True", "Alarm Message": "Above"},
                    args=("--countdown", "4", "--start"), accessible=False)
        wait_for(lambda: above(self.window), what="the big window in the top band")
        start = geometry(self.window)
        picture("big-window", self.window)
        panel = wait_for(lambda: [w for w in self.app.windows() if geometry(w)[2:] == (692, 124)], timeout=10,
                         what="the alarm's message window")[0]
        # Above the big window on each real desktop is tests/desktops' check; here, what they do not look at.
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", wm_state(panel))
        # The alarm brought the big window forward: out of the band.
        wait_for(lambda: not above(self.window), what="the big window out of the top band")
        x, y, _, _ = geometry(panel)
        click_at(x + 625, y + 67)  # the Close button
        wait_for(lambda: not [w for w in self.app.windows() if w != self.window], what="the message closed")
        wait_for(lambda: above(self.window), what="the big window back in the top band")
        self.assertEqual(geometry(self.window), start)
