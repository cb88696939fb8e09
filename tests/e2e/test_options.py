"""Options chosen as a user would (real clicks on what a screen reader finds), then kept across a restart."""

from zentimo_e2e import BIG, Case, click_node, end_process, find_app, geometry, has_state, text_of, type_text, wait_for

BOXES = [("Loop", "radio button", True), ("Big", "radio button", True), ("Show Message", "check box", True),
         ("Keep window on top of all others.", "check box", True), ("Play Sound", "check box", False)]


class OptionsTest(Case):
    def test_options_survive_a_restart(self):
        app = self.launch()
        app.click(self.window, "Options")
        options = self.window_named("Options")
        for name, role, _ in BOXES[:3]:
            click_node(self.control(name, role), options)
        click_node(self.control("Message text", "text"), options)
        type_text("Rise and shine")
        for name, role, _ in BOXES[3:]:
            click_node(self.control(name, role), options)
        click_node(self.control("Done", "push button"), options)
        wait_for(lambda: not app.windows("Options"), what="Options closed")

        end_process(app.proc)
        app.start()
        # Looked up afresh: the window first shown may still be replaced by the big one.
        big = wait_for(lambda: [w for w in app.windows() if geometry(w)[2] > 500], 15, what="big window")[0]
        self.root = find_app()
        # The dialog opens on what was saved.
        app.click(big, "Options", BIG)
        self.window_named("Options")
        for name, role, on in BOXES:
            self.assertEqual(has_state(self.control(name, role), "CHECKED"), on, name)
        self.assertEqual(text_of(self.control("Message text", "text")), "Rise and shine")
