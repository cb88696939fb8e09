"""KDE Plasma: KWin's state through a script that reports back over the bus, plasmashell's notifications as
Plasma's own watchers see them, org.kde.KWin.ScreenShot2."""

import json
import os
import subprocess
import tempfile

import desktop
from desktop import Gio, GLib, Notification, wait_for

PROBE_PATH = "/org/zentimo/KWinProbe"
PROBE_XML = """<node>
<interface name="org.zentimo.KWinProbe"><method name="Report"><arg type="s" direction="in"/></method></interface>
<interface name="org.kde.NotificationWatcher">
  <method name="Notify">
    <arg type="u"/><arg type="s"/><arg type="u"/><arg type="s"/><arg type="s"/><arg type="s"/><arg type="as"/>
    <arg type="a{sv}"/><arg type="i"/>
  </method>
  <method name="CloseNotification"><arg type="u"/></method>
</interface>
</node>"""

# Managed windows as KWin stacks them, lowest first, without those KWin keeps hidden or the shell's own.
WINDOWS_JS = """
const shown = workspace.clientList().filter(w => w.managed && !w.deleted && !w.minimized && !w.hidden
    && (w.normalWindow || w.dialog || w.utility || w.splash || w.notification || w.criticalNotification
        || w.onScreenDisplay)).sort((a, b) => a.stackingOrder - b.stackingOrder);
report(shown.map(w => ({id: w.internalId.toString(), pid: w.pid, title: w.caption,
    x: w.frameGeometry.x, y: w.frameGeometry.y, width: w.frameGeometry.width, height: w.frameGeometry.height})));
"""


class Probe(desktop.Probe):
    def __init__(self):
        super().__init__()
        self.conn = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        self.reports = []
        self.shown = {}  # id -> Notification, as the server announced them
        node = Gio.DBusNodeInfo.new_for_xml(PROBE_XML)
        self.registrations = [
            self.conn.register_object(PROBE_PATH, node.interfaces[0], self._on_call, None, None),
            self.conn.register_object("/NotificationWatcher", node.interfaces[1], self._on_call, None, None)]
        self.closed = self.conn.signal_subscribe(None, "org.freedesktop.Notifications", "NotificationClosed",
                                                 "/org/freedesktop/Notifications", None, Gio.DBusSignalFlags.NONE,
                                                 self._on_closed)
        desktop.call("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                     "org.kde.NotificationManager", "RegisterWatcher")
        self.script_count = 0

    def _on_call(self, conn, sender, path, interface, method, params, invocation):
        args = params.unpack()
        if method == "Report":
            self.reports.append(json.loads(args[0]))
        elif method == "Notify":
            nid, app, replaces, _icon, summary, body, actions, _hints, _timeout = args
            self.shown[replaces or nid] = Notification(replaces or nid, app, summary, body,
                                                       list(zip(actions[0::2], actions[1::2])))
        elif method == "CloseNotification":
            self.shown.pop(args[0], None)
        invocation.return_value(None)

    def _on_closed(self, conn, sender, path, interface, signal, params):
        self.shown.pop(params.unpack()[0], None)

    def _pump(self):
        while GLib.MainContext.default().iteration(False):
            pass

    def kwin(self, body):
        """Runs a KWin script whose report(value) comes back here; returns the value."""
        self.script_count += 1
        name = "zentimo-probe-%d-%d" % (os.getpid(), self.script_count)
        script = ("function report(value) { callDBus(%s, %s, 'org.zentimo.KWinProbe', 'Report', "
                  "JSON.stringify(value)); }\n" % (json.dumps(self.conn.get_unique_name()), json.dumps(PROBE_PATH))
                  + body)
        with tempfile.NamedTemporaryFile("w", suffix=".js", delete=False) as f:
            f.write(script)
        try:
            before = len(self.reports)
            sid = desktop.call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "loadScript",
                               (f.name, name), "(ss)")[0]
            desktop.call("org.kde.KWin", "/%d" % sid, "org.kde.kwin.Script", "run")
            wait_for(lambda: self._pump() or len(self.reports) > before, 30, "KWin's script to report")
            return self.reports[before]
        finally:
            desktop.call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "unloadScript", (name,), "(s)")
            os.unlink(f.name)

    def windows(self):
        return [desktop.Window(**w) for w in self.kwin(WINDOWS_JS)]

    def active_id(self):
        return self.kwin("report(workspace.activeClient ? workspace.activeClient.internalId.toString() : '');")

    def click(self, window):
        self.kwin("const w = workspace.clientList().find(w => w.internalId.toString() === %s);"
                  "if (w) workspace.activeClient = w; report(null);" % json.dumps(window.id))

    def notifications(self):
        self._pump()
        return [n._replace(actions=[label for _key, label in n.actions]) for n in self.shown.values()]

    def invoke_action(self, notification, label):
        # What the popup's button does: the server's own action invocation.
        key = next(k for k, l in self.shown[notification.id].actions if l == label)
        desktop.call("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                     "org.kde.NotificationManager", "InvokeAction", (notification.id, key), "(us)")

    def screenshot(self, path):
        # KWin writes the raw image into a pipe while the call is in progress: a reader empties it meanwhile.
        read_fd, write_fd = os.pipe()
        fd_list = Gio.UnixFDList()
        fd_list.append(write_fd)
        os.close(write_fd)
        with tempfile.NamedTemporaryFile(suffix=".bgra") as raw:
            reader = subprocess.Popen(["cat"], stdin=read_fd, stdout=raw)
            os.close(read_fd)
            try:
                reply, _ = self.conn.call_with_unix_fd_list_sync(
                    "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureWorkspace",
                    GLib.Variant("(a{sv}h)", ({}, 0)), None, Gio.DBusCallFlags.NONE, 30000, fd_list, None)
            finally:
                del fd_list  # our copy of the write end: the reader sees the end once KWin closes its own
                reader.wait(30)
            info = reply.unpack()[0]
            # Raw pixels as QImage holds them (32 bits, little-endian BGRA), rows of `stride` bytes.
            desktop.run("convert", "-size", "%dx%d" % (info["stride"] // 4, info["height"]), "-depth", "8",
                        "bgra:" + raw.name, "-crop", "%dx%d+0+0" % (info["width"], info["height"]), "+repage",
                        "-alpha", "off", path)

    def close(self):
        desktop.call("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                     "org.kde.NotificationManager", "UnRegisterWatcher")
        self.conn.signal_unsubscribe(self.closed)
        for registration in self.registrations:
            self.conn.unregister_object(registration)
        super().close()
