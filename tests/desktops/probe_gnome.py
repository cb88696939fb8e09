"""GNOME Shell: its state through Eval (the test extension turns on unsafe mode), Shell.Screenshot."""

import json
import os

import desktop
from desktop import Notification

SHELL = ("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell")

# Windows as the shell stacks them, lowest first; ids are the shell's own window ids.
WINDOWS_JS = """
global.display.sort_windows_by_stacking(global.display.list_all_windows())
    .filter(w => w.showing_on_its_workspace() && w.get_window_type() !== Meta.WindowType.DESKTOP)
    .map(w => { const r = w.get_frame_rect();
                return {id: w.get_id(), pid: w.get_pid(), title: w.get_title() || '',
                        x: r.x, y: r.y, width: r.width, height: r.height}; })
"""

# The AppIndicator extension's icons shown in the top bar.
TRAY_JS = """
Object.entries(Main.panel.statusArea)
    .filter(([key, icon]) => key.startsWith('appindicator-') && icon && icon._indicator && icon.is_mapped())
    .map(([key, icon]) => ({key, bus: icon._indicator.busName, path: icon._indicator._proxy.g_object_path,
                            title: icon._indicator.title || ''}))
"""

# The notifications of the shell's freedesktop server that are still in the message tray.
NOTIFICATIONS_JS = """
Object.values(Main.notificationDaemon._fdoNotificationDaemon._notifications)
    .filter(n => n.notification)
    .map(n => ({id: n.id, app: n.appName, summary: n.summary, body: n.body,
                actions: n.notification.actions.map(a => a.label)}))
"""


def shell_eval(script):
    # A software-rendered shell on a busy machine can take seconds to answer.
    ok, result = desktop.call(*SHELL, "Eval", (script,), "(s)", timeout_ms=30000)
    if not ok:
        raise RuntimeError("GNOME Shell Eval failed: " + result)
    return json.loads(result) if result else None


class Probe(desktop.Probe):
    def __init__(self):
        super().__init__()
        self.shell_pid = desktop.name_pid(SHELL[0])

    def windows(self):
        # Without the shell's own (XWayland's 1x1 window of the shell).
        return [desktop.Window(**w) for w in shell_eval(WINDOWS_JS) if w["pid"] != self.shell_pid]

    def active_id(self):
        return shell_eval("global.display.focus_window ? global.display.focus_window.get_id() : 0")

    def click(self, window):
        # What a click on the window does: the shell activates it with the server's time.
        shell_eval("const w = global.display.list_all_windows().find(w => w.get_id() === %d);"
                   "if (w) Main.activateWindow(w, global.display.get_current_time_roundtrip()); null" % window.id)

    def tray_items(self):
        return list(filter(None, (desktop.tray_item(i["bus"], i["path"], i["title"]) for i in shell_eval(TRAY_JS))))

    def tray_activate(self, item):
        # The AppIndicator extension opens the item's menu on a single click and activates the item on a double
        # click (after handing it an activation token): its own code for that double click.
        icon = next(i for i in shell_eval(TRAY_JS) if i["bus"] + i["path"] == item.id)
        shell_eval("Main.panel.statusArea[%s]._indicator.open(0, 0, global.get_current_time()); null"
                   % json.dumps(icon["key"]))

    def notifications(self):
        return [Notification(n["id"], n["app"], n["summary"], n["body"], n["actions"])
                for n in shell_eval(NOTIFICATIONS_JS)]

    def invoke_action(self, notification, label):
        # The button's click: the banner's button when the banner is up, else what that button runs (the action,
        # then the notification goes unless it is resident).
        shell_eval("""
const ndata = Main.notificationDaemon._fdoNotificationDaemon._notifications[%d];
const n = ndata.notification;
const banner = Main.messageTray._banner;
const button = banner && banner.notification === n && banner._buttonBox
    ? banner._buttonBox.get_children().find(b => b.label === %s) : null;
if (button) {
    button.emit('clicked', 1);
} else {
    n.actions.find(a => a.label === %s).callback();
    if (!n.resident)
        n.destroy();
}
null""" % (notification.id, json.dumps(label), json.dumps(label)))

    def screenshot(self, path):
        path = os.path.abspath(path)
        ok, _ = desktop.call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot", "org.gnome.Shell.Screenshot",
                             "Screenshot", (False, False, path), "(bbs)", timeout_ms=30000)
        if not ok:
            raise RuntimeError("GNOME Shell took no screenshot")
