"""An alarm while another program is active, against python-dbusmock's notification server on the test's session
bus (real seconds): Notify reaches it, and the message panel as a screen reader finds it. What its actions do
and when it is withdrawn is tst_notice's; the real servers' round trip is tests/desktops'."""

import subprocess

from gi.repository import Gio, GLib

from zentimo_e2e import Case, end_process, run, wait_for, xenv

NAME, PATH = "org.freedesktop.Notifications", "/org/freedesktop/Notifications"
MESSAGE = "Tea is ready"


def notify_calls():
    """The arguments of each Notify the server took, as GLib Variants."""
    reply = Gio.bus_get_sync(Gio.BusType.SESSION, None).call_sync(
        NAME, PATH, "org.freedesktop.DBus.Mock", "GetMethodCalls", GLib.Variant("(s)", ("Notify",)), None,
        Gio.DBusCallFlags.NONE, 5000, None).get_child_value(0)
    calls = (reply.get_child_value(i).get_child_value(1) for i in range(reply.n_children()))
    return [[args.get_child_value(i).get_variant() for i in range(args.n_children())] for args in calls]


class NotificationTest(Case):
    def test_alarm_reaches_a_user_in_another_program(self):
        server = subprocess.Popen(["/usr/bin/python3", "-m", "dbusmock", "--template", "notification_daemon",
                                   "--parameters", '{"capabilities": "actions body"}'], stdout=subprocess.DEVNULL)
        self.addCleanup(end_process, server)
        run("gdbus", "wait", "--session", "--timeout", "10", NAME)
        app = self.launch({"Show Message": "True", "Alarm Message": MESSAGE})
        other = subprocess.Popen(["xmessage", "another program"], env=xenv())
        self.addCleanup(end_process, other)
        run("xdotool", "search", "--sync", "--onlyvisible", "--class", "Xmessage", "windowactivate", "--sync")

        # A later start leaves the other program active.
        self.assertEqual(app.command("--countdown", "2", "--start").returncode, 0)
        args = wait_for(notify_calls, timeout=8, what="Notify")[0]
        # Every argument and hint is tst_bus's, its actions and time-out tst_notice's.
        self.assertEqual([a.unpack() for a in args[3:5]], [MESSAGE, "Countdown Mode 00:00:02"])
        # The panel is announced as a notification by its message.
        self.control(MESSAGE, "notification")
