"""Options, colours and a preset chosen as a user would (real clicks on what a screen reader finds), then kept
across a restart."""

import time

from zentimo_e2e import (BIG, Case, click_node, end_process, find_app, geometry, has_state, pixel, run, seek,
                         text_of, type_text, wait_for, walk)

BOXES = [("Loop", "radio button", True), ("Big", "radio button", True), ("Show Message", "check box", True),
         ("Keep window on top of all others.", "check box", True), ("Play Sound", "check box", False)]


class OptionsTest(Case):
    def big_window(self):
        """Looked up afresh: the one first shown may still be replaced."""
        return wait_for(lambda: [w for w in self.app.windows() if geometry(w)[2] > 500], 15, what="big")[0]

    def test_options_colours_and_a_preset_survive_a_restart(self):
        app = self.launch()
        app.set_field(self.window, "Minutes", "5")
        app.click(self.window, "Presets")
        presets = self.window_named("Presets - Countdown Mode")
        app.click(presets, (90, 480, 3255, 435))  # Add
        app.click(presets, (2580, 960, 765, 435))  # Close
        wait_for(lambda: app.gone("Presets - Countdown Mode"), what="Presets closed")

        app.click(self.window, "Options")
        options = self.window_named("Options")
        for name, role, _ in BOXES[:3]:
            click_node(self.control(name, role), options)
        click_node(self.control("Message text", "text"), options)
        type_text("Rise and shine")
        for name, role, _ in BOXES[3:]:
            click_node(self.control(name, role), options)
        click_node(self.control("Select", description="Select colors"), options)
        colors = self.window_named("Colors")
        click_node(self.control("Blue background", "radio button"), colors)
        click_node(self.control("OK", "push button"), colors)
        wait_for(lambda: app.gone("Colors"), what="Colors closed")
        click_node(self.control("Done", "push button"), options)
        wait_for(lambda: app.gone("Options"), what="Options closed")

        end_process(app.proc)
        app.start()
        big = self.big_window()
        self.root = find_app()
        self.assertIn("_NET_WM_STATE_ABOVE", run("xprop", "-id", str(big), "_NET_WM_STATE").stdout)
        time.sleep(0.5)  # let the first paint reach the server
        x, y, _, _ = geometry(big)
        r, g, b = pixel(x + 4, y + 4)  # the top of the blue gradient
        self.assertTrue(b > 200 and r < 40 and g < 40, (r, g, b))

        # The dialog opens on what was saved.
        app.click(self.big_window(), "Options", BIG)
        options = self.window_named("Options")
        for name, role, on in BOXES:
            self.assertEqual(has_state(self.control(name, role), "CHECKED"), on, name)
        self.assertEqual(text_of(self.control("Message text", "text")), "Rise and shine")
        click_node(self.control("Cancel", "push button"), options)
        wait_for(lambda: app.gone("Options"), what="Options closed")

        app.click(self.big_window(), "Presets", BIG)
        self.window_named("Presets - Countdown Mode")
        combo = seek(self.root, lambda r: next((n for n in walk(r) if n.get_role_name() == "combo box"), None),
                     "preset list")
        self.assertEqual([text_of(n) for n in walk(combo) if n.get_role_name() in ("list item", "menu item")],
                         ["00:05:00"])
