"""Keys as the X server delivers them (xdotool), which carry text the headless platform leaves out: editing
keys in a time field, and Enter pressing the button that has the focus, in both windows and the Colors
dialog. Waits real time for what a key did not do."""

import time

from zentimo_e2e import (BIG, SMALL, Case, atspi, click_node, find, gone, is_checked, main, seek, text_of, wait_for,
                         window_named)

# Enter with the focus on a control: (window size, control, its role, caption and fields afterwards; None for
# fields that run on).
ENTER = [
    ("0", "Reset", "push button", "Start", "00:00:00"),  # the focused button, not the default Start
    ("0", "Seconds", "text", "Stop", None),  # no button has the focus: the default button Start
    ("1", "Reset", "push button", "Start", "00:00:00"),
    ("1", "Seconds", "text", "Start", "00:05:00"),  # the big window has no default button
]


class KeysTest(Case):
    def control(self, name, role, within=None):
        return seek(within or self.root, lambda r: find(r, name, role), name)

    def focus(self, node):
        Atspi = atspi()
        node.get_component_iface().grab_focus()
        wait_for(lambda: node.get_state_set().contains(Atspi.StateType.FOCUSED), what="focus on " + node.get_name())

    def test_editing_keys_and_enter(self):
        app = self.launch()
        layout = SMALL
        minutes = self.control("Minutes", "text")
        app.click(self.window, "Minutes")
        app.type_text("12")
        for keys, expected in ((("Home", "Delete"), "2"), (("End", "BackSpace"), ""), (("5", "Tab"), "05")):
            app.key(*keys)
            wait_for(lambda: text_of(minutes) == expected, what="%s after %s" % (expected, keys))

        for size, name, role, caption, fields in ENTER:
            with self.subTest(size=size, focus=name):
                if size == "1" and layout is SMALL:
                    app.cleanup()  # a screen reader would find the first copy still running
                    app, layout = self.launch({"Size": "1"}), BIG
                if self.caption() != "Start":
                    app.click(self.window, "Start", layout)
                app.set_field(self.window, "Minutes", "5", layout)
                wait_for(lambda: self.fields() == "00:05:00", what="00:05:00")
                self.focus(self.control(name, role))
                app.key("Return")
                time.sleep(0.5)  # room for a wrong button to act
                self.assertEqual(self.caption(), caption)
                if fields:
                    self.assertEqual(self.fields(), fields)

        # The Colors dialog: Enter on a colour sample chooses it and leaves the dialog open; on Cancel it cancels.
        app.click(self.window, "Options", layout)
        options = window_named(app, "Options")
        select = seek(self.root, lambda r: find(r, "Select", description="Select colors"), "colours Select")
        click_node(select, options)
        window_named(app, "Colors")
        colors = self.control("Colors", "dialog")
        self.focus(self.control("Light blue", "push button", colors))
        app.key("Return")
        wait_for(lambda: is_checked(self.control("Light blue buttons", "radio button")), what="light blue chosen")
        self.assertFalse(gone(app, "Colors"), "Enter on a sample pressed OK")
        self.focus(self.control("Cancel", "push button", colors))
        app.key("Return")
        wait_for(lambda: gone(app, "Colors"), what="Colors cancelled")
        self.focus(self.control("Cancel", "push button"))
        app.key("Return")
        wait_for(lambda: gone(app, "Options"), what="Options cancelled")


if __name__ == "__main__":
    main()
