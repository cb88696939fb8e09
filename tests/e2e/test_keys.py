"""Keys as the X server delivers them (with the text the headless platform leaves out): editing keys in a field,
Enter on a focused button and in the Colors dialog. Enter in a field is tst_form1's. Waits real time for what a
key did not do."""

import time

from zentimo_e2e import Case, has_state, key, press, run, text_of, wait_for


class KeysTest(Case):
    def press_enter_on(self, node):
        node.get_component_iface().grab_focus()
        wait_for(lambda: has_state(node, "FOCUSED"), what="focus on " + node.get_name())
        key("Return")

    def test_editing_keys_and_enter(self):
        app = self.launch()
        minutes = self.control("Minutes", "text")
        app.click(self.window, "Minutes")
        run("xdotool", "type", "12")
        for keys, expected in ((("Home", "Delete"), "2"), (("End", "BackSpace"), ""), (("5", "Tab"), "05")):
            key(*keys)
            wait_for(lambda: text_of(minutes) == expected, what="%s after %s" % (expected, keys))

        # Enter presses the focused Reset, not the default button Start.
        wait_for(lambda: self.fields() == "00:05:00", what="00:05:00")
        self.press_enter_on(self.control("Reset", "push button"))
        time.sleep(0.5)  # room for a wrong button to act
        self.assertEqual((self.caption(), self.fields()), ("Start", "00:00:00"))

        # The Colors dialog: Enter on a colour sample chooses it and leaves the dialog open; on Cancel it cancels.
        app.click(self.window, "Options")
        press(self.control("Select", description="Select colors"))
        self.window_named("Colors")
        colors = self.control("Colors", "dialog")
        self.press_enter_on(self.control("Light blue", "push button", colors))
        wait_for(lambda: has_state(self.control("Light blue buttons", "radio button"), "CHECKED"), what="light blue")
        self.assertTrue(app.windows("Colors"), "Enter on a sample pressed OK")
        self.press_enter_on(self.control("Cancel", "push button", colors))
        wait_for(lambda: not app.windows("Colors"), what="Colors cancelled")
