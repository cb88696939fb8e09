"""An alarm while another program is active, against a stand-in notification server on the test's session bus
(real seconds): what Notify carries, and the message panel as a screen reader finds it. What its actions do and
when it is withdrawn is tst_notice's; the real servers' round trip is tests/desktops'."""

import subprocess

from gi.repository import GLib

from zentimo_e2e import Case, StandIn, end_process, run, wait_for, xenv

PATH, IFACE = "/org/freedesktop/Notifications", "org.freedesktop.Notifications"
XML = """<node><interface name="org.freedesktop.Notifications">
  <method name="Notify"><arg type="s"/><arg type="u"/><arg type="s"/><arg type="s"/><arg type="s"/><arg type="as"/>
    <arg type="a{sv}"/><arg type="i"/><arg type="u" direction="out"/></method>
  <method name="CloseNotification"><arg type="u"/></method>
  <method name="GetCapabilities"><arg type="as" direction="out"/></method>
  <method name="GetServerInformation"><arg type="s" direction="out"/><arg type="s" direction="out"/>
    <arg type="s" direction="out"/><arg type="s" direction="out"/></method>
  <signal name="ActionInvoked"><arg type="u"/><arg type="s"/></signal>
  <signal name="NotificationClosed"><arg type="u"/><arg type="u"/></signal>
</interface></node>"""
MESSAGE = "Tea is ready"


class NotificationTest(Case):
    def answer(self, method, params):
        if method == "Notify":
            self.last_id += 1
            return GLib.Variant("(u)", (self.last_id,))
        if method == "CloseNotification":
            return None
        if method == "GetCapabilities":
            return GLib.Variant("(as)", (["actions", "body"],))
        return GLib.Variant("(ssss)", ("stand-in", "zentimo tests", "1", "1.2"))

    def calls(self, method):
        return [params for name, params in self.server.calls if name == method]

    def test_alarm_reaches_a_user_in_another_program(self):
        self.last_id = 0
        self.server = StandIn(IFACE, {PATH: XML}, self.answer)
        self.addCleanup(self.server.stop)
        app = self.launch({"Show Message": "True", "Alarm Message": MESSAGE})
        other = subprocess.Popen(["xmessage", "another program"], env=xenv())
        self.addCleanup(end_process, other)
        run("xdotool", "search", "--sync", "--onlyvisible", "--class", "Xmessage", "windowactivate", "--sync")

        # A later start leaves the other program active.
        self.assertEqual(app.command("--countdown", "2", "--start").returncode, 0)
        params = wait_for(lambda: self.calls("Notify"), timeout=8, what="Notify")[0]
        hints = params.get_child_value(6)
        # Its actions and time-out for each kind of alarm are tst_notice's.
        self.assertEqual(params.unpack()[:5],
                         ("Zentimo", 0, "example.fernwick.Zentimo", MESSAGE, "Countdown Mode 00:00:02"))
        # Run from the build, the icon is in no theme: its pixels travel with the notification.
        width, height, stride, alpha, bits, channels, data = hints.unpack().pop("image-data")
        self.assertEqual((width, height, stride, alpha, bits, channels, len(data)), (48, 48, 192, True, 8, 4, 9216))
        self.assertEqual({k: (hints.lookup_value(k, None).get_type_string(), v) for k, v in hints.unpack().items()},
                         {"urgency": ("y", 2), "suppress-sound": ("b", True),
                          "desktop-entry": ("s", "example.fernwick.Zentimo"),
                          "image-data": ("(iiibiiay)", (width, height, stride, alpha, bits, channels, data))})
        # The panel is announced as a notification by its message.
        self.control(MESSAGE, "notification")

