"""What the desktop probes share: the records they answer with, the waits, X11 and StatusNotifierItem look-ups,
and the base class whose methods every probe_<desktop>.py provides (see README.md)."""

import collections
import os
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
OTHER_TITLE = "Other Program"
OTHER_COLOUR = (40, 120, 180)  # the other window's whole area

Window = collections.namedtuple("Window", "id pid title x y width height")
TrayItem = collections.namedtuple("TrayItem", "id pid title")
Notification = collections.namedtuple("Notification", "id app_name summary body actions")


def wait_for(predicate, timeout=20.0, what="condition"):
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.1)
    return value


def run(*args, check=True, env=None):
    return subprocess.run(args, check=check, capture_output=True, text=True, env=env, timeout=60)


def end_process(proc):
    if proc and proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


# The session bus, through Gio: calls and properties.
def bus():
    return Gio.bus_get_sync(Gio.BusType.SESSION, None)


def call(name, path, interface, method, args=None, signature=None, timeout_ms=5000):
    reply = bus().call_sync(name, path, interface, method,
                            GLib.Variant(signature, args) if signature else None, None,
                            Gio.DBusCallFlags.NONE, timeout_ms, None)
    return reply.unpack() if reply else ()


def prop(name, path, interface, key):
    return call(name, path, "org.freedesktop.DBus.Properties", "Get", (interface, key), "(ss)")[0]


def name_pid(name):
    return call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                "GetConnectionUnixProcessID", (name,), "(s)")[0]


def has_owner(name):
    return call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                (name,), "(s)")[0]


def sni_items():
    """The StatusNotifierItems the session's watcher holds, as TrayItems (id "service/path")."""
    watcher = ("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher")
    try:
        if not prop(*watcher, "IsStatusNotifierHostRegistered"):
            return []
        registered = prop(*watcher, "RegisteredStatusNotifierItems")
    except GLib.Error:
        return []
    items = []
    for entry in registered:
        service, _, path = entry.partition("/")
        path = "/" + path if path else "/StatusNotifierItem"
        try:
            title = prop(service, path, "org.kde.StatusNotifierItem", "Title")
            items.append(TrayItem(service + path, name_pid(service), title))
        except GLib.Error:
            continue  # gone meanwhile
    return items


def sni_activate(item, x=0, y=0):
    """The call a StatusNotifierItem host makes on a left click."""
    service, _, path = item.id.partition("/")
    call(service, "/" + path, "org.kde.StatusNotifierItem", "Activate", (x, y), "(ii)")


# X11, through the X tools (Xfce; the X side of the Wayland desktops).
def x_prop(window, name, env=None):
    out = run("xprop", "-id", str(window), name, check=False, env=env).stdout
    return out.split("=", 1)[1].strip() if "=" in out else None


def x_stacking(env=None):
    """Managed top-level client windows, lowest first."""
    out = run("xprop", "-root", "_NET_CLIENT_LIST_STACKING", check=False, env=env).stdout
    if "#" not in out:
        return []
    return [int(w.strip(), 16) for w in out.split("#", 1)[1].split(",") if w.strip()]


def x_window(window, env=None):
    """A Window record of a viewable X client window, or None."""
    info = run("xwininfo", "-id", str(window), check=False, env=env).stdout
    if "IsViewable" not in info:
        return None
    fields = {}
    for line in info.splitlines():
        key, _, value = line.strip().partition(":")
        fields[key] = value.strip()
    pid = x_prop(window, "_NET_WM_PID", env)
    title = x_prop(window, "_NET_WM_NAME", env) or x_prop(window, "WM_NAME", env) or ""
    return Window(window, int(pid) if pid and pid.isdigit() else None, title.strip('"'),
                  int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                  int(fields["Width"]), int(fields["Height"]))


def x_active(env=None):
    out = run("xprop", "-root", "_NET_ACTIVE_WINDOW", check=False, env=env).stdout
    if "#" not in out:
        return None
    return int(out.split("#", 1)[1].split(",")[0].strip(), 16) or None


class Probe:
    """The base of every probe_<desktop>.py; the methods raise until a probe provides them."""

    SCREEN_READER = False

    def __init__(self):
        self.started = []

    def spawn(self, *args, env=None, log=None):
        """A process the probe ends again in close()."""
        out = open(log, "ab") if log else subprocess.DEVNULL
        proc = subprocess.Popen(args, env=env, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
        self.started.append(proc)
        return proc

    def open_other_program(self, extra_env=None):
        return self.spawn(sys.executable, os.path.join(HERE, "other_window.py"), OTHER_TITLE,
                          ",".join(map(str, OTHER_COLOUR)), env=dict(os.environ, **(extra_env or {})))

    def windows(self):
        raise NotImplementedError

    def active_window(self):
        raise NotImplementedError

    def is_above(self, a, b):
        ids = [w.id for w in self.windows()]
        return a.id in ids and b.id in ids and ids.index(a.id) > ids.index(b.id)

    def open_other_window(self):
        raise NotImplementedError

    def activate(self, window):
        raise NotImplementedError

    def tray_items(self):
        raise NotImplementedError

    def tray_activate(self, item):
        raise NotImplementedError

    def notifications(self):
        raise NotImplementedError

    def invoke_action(self, notification, label):
        raise NotImplementedError

    def screenshot(self, path):
        raise NotImplementedError

    def start_screen_reader(self):
        """Orca with its preferences in a folder of its own; it speaks to nowhere and writes what it would say
        into its debug log. Returns a function giving what it has said so far."""
        folder = tempfile.mkdtemp(prefix="zentimo-orca-")
        log = os.path.join(folder, "debug.out")
        self.spawn("/usr/bin/python3", os.path.join(HERE, "orca_logged.py"), log, "--replace", "--user-prefs", folder,
                   log=os.path.join(folder, "orca.log"))

        def spoken():
            try:
                with open(log, errors="replace") as f:
                    return "\n".join(line.split("SPEECH OUTPUT:", 1)[1] for line in f if "SPEECH OUTPUT:" in line)
            except FileNotFoundError:
                return ""

        wait_for(lambda: "Screen reader on" in spoken(), timeout=60, what="Orca to start")
        return spoken

    def close(self):
        for proc in reversed(self.started):
            end_process(proc)
        self.started = []
