"""The probes' records, StatusNotifierItem look-ups and the base of every probe_<desktop>.py (see README.md)."""

import collections
import os
import subprocess
import sys

import zentimo_e2e
from gi.repository import Gio, GLib
from zentimo_e2e import end_process, run  # noqa: F401 (for the probes)

HERE = os.path.dirname(os.path.abspath(__file__))
OTHER_TITLE = "Other Program"
OTHER_COLOUR = (40, 120, 180)  # the other window's whole area

Window = collections.namedtuple("Window", "id pid title x y width height")
TrayItem = collections.namedtuple("TrayItem", "id pid title")
Notification = collections.namedtuple("Notification", "id app_name summary body actions")


def wait_for(predicate, timeout=20.0, what="condition"):
    return zentimo_e2e.wait_for(predicate, timeout, what, step=0.1)


def call(name, path, interface, method, args=None, signature=None, timeout_ms=5000):
    reply = Gio.bus_get_sync(Gio.BusType.SESSION, None).call_sync(
        name, path, interface, method, GLib.Variant(signature, args) if signature else None, None,
        Gio.DBusCallFlags.NONE, timeout_ms, None)
    return reply.unpack() if reply else ()


def prop(name, path, interface, key):
    return call(name, path, "org.freedesktop.DBus.Properties", "Get", (interface, key), "(ss)")[0]


def name_pid(name):
    return call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                "GetConnectionUnixProcessID", (name,), "(s)")[0]


def tray_item(service, path, title=None):
    """A TrayItem (id "service/path"), or None for an item gone meanwhile."""
    try:
        title = prop(service, path, "org.kde.StatusNotifierItem", "Title") if title is None else title
        return TrayItem(service + path, name_pid(service), title)
    except GLib.Error:
        return None


def sni_items():
    """The StatusNotifierItems the session's watcher holds."""
    watcher = ("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher")
    try:
        if not prop(*watcher, "IsStatusNotifierHostRegistered"):
            return []
        registered = prop(*watcher, "RegisteredStatusNotifierItems")
    except GLib.Error:
        return []
    items = [tray_item(s, "/" + (p or "StatusNotifierItem")) for s, _, p in (e.partition("/") for e in registered)]
    return [i for i in items if i]


class Probe:

    def __init__(self):
        self.started = []

    def spawn(self, *args, env=None, log=None):
        out = open(log, "ab") if log else subprocess.DEVNULL
        proc = subprocess.Popen(args, env=env, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
        self.started.append(proc)
        return proc

    def tray_items(self):
        return sni_items()

    def tray_activate(self, item):
        """The call a StatusNotifierItem host makes on a left click."""
        service, _, path = item.id.partition("/")
        call(service, "/" + path, "org.kde.StatusNotifierItem", "Activate", (0, 0), "(ii)")

    def is_above(self, a, b):
        ids = [w.id for w in self.windows()]
        return a.id in ids and b.id in ids and ids.index(a.id) > ids.index(b.id)

    def activate(self, window):
        """What a click on the window does; again until it takes (a window just shown may not take it yet)."""
        wait_for(lambda: self.click(window) or self.active_id() == window.id, 20, "%r active" % window.title)

    def open_other_window(self):
        proc = self.spawn(sys.executable, os.path.join(HERE, "other_window.py"), OTHER_TITLE,
                          ",".join(map(str, OTHER_COLOUR)))
        window = wait_for(lambda: next((w for w in self.windows() if w.pid == proc.pid), None), 30,
                          "the other program's window")
        self.activate(window)
        return window

    def close(self):
        for proc in reversed(self.started):
            end_process(proc)
        self.started = []
