"""Options chosen through what a screen reader finds, then kept across a restart."""

from zentimo_e2e import BIG, Case, end_process, find_app, geometry, has_state, picture, press, text_of, wait_for

BOXES = [("Loop", "radio button", True), ("Big", "radio button", True), ("Show Message", "check box", True),
         ("Keep window on top of all others.", "check box", True), ("Play Sound", "check box", False)]


class OptionsTest(Case):
    def test_options_survive_a_restart(self):
        app = self.launch()
        app.click(self.window, "Options")
        for name, role, _ in BOXES:
            press(self.control(name, role))
        self.control("Message text", "text").get_editable_text_iface().set_text_contents("Rise and shine")
        press(self.control("Done", "push button"))
        wait_for(lambda: not app.windows("Options"), what="Options closed")
        # The options are saved before the big window replaces the small one; ending sooner could lose them.
        wait_for(lambda: [w for w in app.windows() if geometry(w)[2] > 500], 15, what="big window")

        end_process(app.proc)
        app.start()
        # Looked up afresh: the window first shown may still be replaced by the big one.
        big = wait_for(lambda: [w for w in app.windows() if geometry(w)[2] > 500], 15, what="big window")[0]
        self.root = find_app()
        picture("big-window", big)
        app.click(big, "Options", BIG)
        for name, role, on in BOXES:
            self.assertEqual(has_state(self.control(name, role), "CHECKED"), on, name)
        self.assertEqual(text_of(self.control("Message text", "text")), "Rise and shine")
