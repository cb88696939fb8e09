"""Drives the real zentimo binary on the shared Xvfb server, as a user would: real input events through
xdotool, and what a screen reader sees through AT-SPI. Each test runs inside its own D-Bus session
(started by CTest with dbus-run-session), so the accessibility bus is private to it."""

import array
import os
import shutil
import subprocess
import tempfile
import time
import unittest

STATE = os.environ.get("ZENTIMO_E2E_STATE", "")
SHOTS = os.environ.get("ZENTIMO_SHOTS", tempfile.gettempdir())


def display():
    with open(os.path.join(STATE, "display")) as f:
        return f.read().strip()


def run(*args, check=True, env=None):
    return subprocess.run(args, check=check, capture_output=True, text=True, env=env or xenv())


def xenv():
    return dict(os.environ, DISPLAY=display())


def wait_for(predicate, timeout=10.0, interval=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(interval)


# Twips rectangles of the main windows' controls (15 twips a pixel).
SMALL = {
    "Hours": (90, 270, 720, 615), "Minutes": (1260, 270, 720, 615), "Seconds": (2430, 270, 720, 615),
    "Start": (90, 960, 1065, 705), "Options": (1170, 960, 735, 345), "Presets": (1920, 960, 735, 345),
    "Tray": (1920, 1320, 735, 345),
}
BIG = {
    "Hours": (90, 420, 3210, 2325), "Minutes": (3780, 420, 3210, 2325), "Seconds": (7470, 420, 3210, 2325),
    "Start": (90, 2850, 5895, 1095), "Options": (6030, 2850, 1605, 525), "Presets": (7680, 2850, 1605, 525),
}


def end_process(proc):
    """Asks a started program to end, and makes it end if it will not within 5 s."""
    if proc and proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def move_pointer(x, y):
    """Moves the pointer; --sync alone would wait forever when it already stands there."""
    out = run("xdotool", "getmouselocation", "--shell").stdout
    where = dict(line.split("=", 1) for line in out.split())
    if (int(where["X"]), int(where["Y"])) != (x, y):
        run("xdotool", "mousemove", "--sync", str(x), str(y))


class Zentimo:
    """One running copy of the program with a fresh configuration folder and a disk audio file. extra_env
    overrides the environment; a value of None removes the variable."""

    def __init__(self, extra_env=None):
        self.tmp = tempfile.mkdtemp(prefix="zentimo-e2e-")
        self.config = os.path.join(self.tmp, "config")
        os.makedirs(self.config)
        self.audio = os.path.join(self.tmp, "audio.raw")
        self.extra_env = extra_env or {}
        self.proc = None

    @property
    def registry(self):
        return os.path.join(self.config, "zentimo", "registry.reg")

    def start(self, *args):
        env = xenv()
        env.update({
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
            "XDG_CONFIG_HOME": self.config,
            "SDL_AUDIODRIVER": "disk",
            "SDL_DISKAUDIOFILE": self.audio,
            "TZ": "UTC",
        })
        for name, value in self.extra_env.items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        self.log = open(os.path.join(self.tmp, "zentimo.log"), "wb")
        self.proc = subprocess.Popen([os.environ["ZENTIMO_BINARY"], *args], env=env, stdout=self.log,
                                     stderr=subprocess.STDOUT)
        return self

    def stop(self):
        end_process(self.proc)

    def cleanup(self):
        self.stop()
        if getattr(self, "log", None):
            self.log.close()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def read_registry(self):
        with open(self.registry, encoding="utf-8") as f:
            return f.read()

    # ---- windows -------------------------------------------------------------------------------

    def windows(self, name="Zentimo"):
        """This copy's visible windows, by title unless name is None."""
        # --all: without it xdotool takes a window matching the pid *or* the name.
        args = ["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.proc.pid)]
        if name is not None:
            args += ["--name", "^" + name + "$"]
        env = dict(xenv(), DISPLAY=self.extra_env.get("DISPLAY") or display())
        out = run(*args, check=False, env=env).stdout.split()
        return [int(w) for w in out]

    def wait_window(self, name="Zentimo", timeout=15):
        return wait_for(lambda: self.windows(name), timeout, what="window " + name)[0]

    @staticmethod
    def geometry(window):
        out = run("xdotool", "getwindowgeometry", "--shell", str(window)).stdout
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def click_twips(self, window, left, top, width, height):
        """Clicks the middle of a control given by its twips rectangle (15 twips a pixel)."""
        x, y, _, _ = self.geometry(window)
        move_pointer(x + round((left + width / 2) / 15), y + round((top + height / 2) / 15))
        run("xdotool", "click", "1")

    def click(self, window, control, layout=SMALL):
        self.click_twips(window, *layout[control])

    def set_field(self, window, field, text, layout=SMALL):
        """Clicks into a time field (which empties it), types the text and tabs away."""
        self.click(window, field, layout)
        self.type_text(text)
        self.key("Tab")

    @staticmethod
    def type_text(text):
        run("xdotool", "type", "--delay", "30", text)

    @staticmethod
    def key(*keys):
        run("xdotool", "key", "--delay", "30", *keys)

    @staticmethod
    def grab(x, y, width, height):
        """Raw RGB bytes of a screen rectangle."""
        return subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y),
                               "-depth", "8", "rgb:-"], check=True, capture_output=True, env=xenv()).stdout

    @staticmethod
    def pixel(x, y):
        """The screen's colour at (x, y) as (r, g, b)."""
        return tuple(Zentimo.grab(x, y, 1, 1))

    def seed(self, values):
        """Writes options before the program starts, as a user editing the file would."""
        os.makedirs(os.path.dirname(self.registry), exist_ok=True)
        lines = ["Zentimo Registry Version 1", "", "[HKEY_CURRENT_USER\\Software\\Fernwick\\Zentimo\\Options]"]
        lines += ['"%s"="%s"' % (k, v) for k, v in values.items()]
        with open(self.registry, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")

    @staticmethod
    def picture(name, window, frame=True):
        """A picture for the README of one window (with the window manager's frame) as it stands on the
        screen; `make screenshots` copies these from the run's docs folder into docs/."""
        folder = os.path.join(SHOTS, "docs")
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name + ".png")
        if frame:
            run("import", "-frame", "-window", str(window), path)
        else:
            x, y, width, height = Zentimo.geometry(window)
            run("import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage", path)
        return path

    # ---- audio ---------------------------------------------------------------------------------

    def audio_peak(self, start=0):
        """Largest absolute 16-bit sample in the disk driver's output from a byte offset on."""
        data = self.audio_bytes()[start:]
        samples = array.array("h", data[:len(data) // 2 * 2])
        return max(map(abs, samples), default=0)

    def audio_bytes(self):
        try:
            with open(self.audio, "rb") as f:
                return f.read()
        except FileNotFoundError:
            return b""


class Weston:
    """A headless Wayland session of its own, with an X server in it (XWayland) or without. Weston starts
    XWayland when the first X client connects, on a display it picks and names in its log."""

    def __init__(self, xwayland):
        self.xwayland = xwayland
        self.display = None
        self.proc = None

    def start(self):
        runtime = os.environ.get("XDG_RUNTIME_DIR") or tempfile.mkdtemp(prefix="zentimo-wl-")
        self.socket = "wayland-zentimo-%s" % ("x" if self.xwayland else "plain")
        self.log_path = os.path.join(runtime, self.socket + ".log")
        args = ["weston", "--backend=headless-backend.so", "--socket=" + self.socket, "--idle-time=0",
                "--width=1280", "--height=800"]
        if self.xwayland:
            args.append("--xwayland")
            # XWayland binds its socket here; a machine that never ran an X server may not have the folder.
            if not os.path.isdir("/tmp/.X11-unix"):
                os.makedirs("/tmp/.X11-unix", exist_ok=True)
                os.chmod("/tmp/.X11-unix", 0o1777)
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env["XDG_RUNTIME_DIR"] = runtime
        with open(self.log_path, "wb") as log:
            self.proc = subprocess.Popen(args, env=env, stdout=log, stderr=subprocess.STDOUT,
                                         start_new_session=True)
        wait_for(lambda: os.path.exists(os.path.join(runtime, self.socket)), what="Weston's socket")
        if self.xwayland:
            self.display = wait_for(self._x_display, what="Weston's X display")
        return self

    def _x_display(self):
        with open(self.log_path, errors="replace") as f:
            for line in f:
                if "xserver listening on display" in line:
                    return line.split()[-1]
        return None

    def env(self):
        """What a program needs to run in this session, leaving the choice of platform to it."""
        return {"WAYLAND_DISPLAY": self.socket, "DISPLAY": self.display, "QT_QPA_PLATFORM": None}

    def stop(self):
        end_process(self.proc)


# ---- AT-SPI ----------------------------------------------------------------------------------------

def atspi():
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi
    return Atspi


def find_app(name="zentimo", timeout=15):
    Atspi = atspi()

    def look():
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            try:
                # A program that has just ended may still be listed for a moment.
                alive = os.path.exists("/proc/%d" % app.get_process_id())
                if alive and (app.get_name() or "").lower() == name:
                    return app
            except Exception:
                continue
        return None

    return wait_for(look, timeout, what="accessible application " + name)


def walk(node, depth=0):
    yield node
    if depth > 30:
        return
    try:
        count = node.get_child_count()
    except Exception:
        return
    for i in range(count):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from walk(child, depth + 1)


def find(root, name, role=None, showing_only=True, description=None):
    """A control by its accessible name; the description tells apart two buttons that both read "Select"."""
    Atspi = atspi()
    for node in walk(root):
        try:
            if node.get_name() != name:
                continue
            if role and node.get_role_name() != role:
                continue
            if description is not None and node.get_description() != description:
                continue
            if showing_only and not node.get_state_set().contains(Atspi.StateType.SHOWING):
                continue
            return node
        except Exception:
            continue
    return None


def press(node):
    action = node.get_action_iface()
    for i in range(action.get_n_actions()):
        if action.get_action_name(i) in ("Press", "press", "click"):
            action.do_action(i)
            return
    action.do_action(0)


def text_of(node):
    iface = node.get_text_iface()
    if iface is not None:
        return iface.get_text(0, iface.get_character_count())
    return node.get_name()


def seek(root, finder, what, timeout=10):
    """Waits until finder(root) finds a node. Between looks the client's cached tree is dropped: windows
    opened since the last look are not in it."""
    def look():
        found = finder(root)
        if found is None:
            root.clear_cache()
        return found

    return wait_for(look, timeout, what=what)


def click_node(node, window):
    """A real mouse click on the control in its dialog; boxes and option buttons are hit on their box.
    The position is taken relative to the dialog, whose own screen position Qt may report off by the
    window manager's title bar, as it does the control's."""
    Atspi = atspi()
    dialog = node
    while dialog is not None and dialog.get_role_name() != "dialog":
        dialog = dialog.get_parent()
    ext = node.get_component_iface().get_extents(Atspi.CoordType.SCREEN)
    origin = dialog.get_component_iface().get_extents(Atspi.CoordType.SCREEN)
    x, y = ext.x - origin.x, ext.y - origin.y
    if node.get_role_name() in ("radio button", "check box"):
        x, y = x + 7, y + ext.height // 2
    else:
        x, y = x + ext.width // 2, y + ext.height // 2
    run("xdotool", "mousemove", "--sync", "--window", str(window), str(x), str(y))
    run("xdotool", "click", "1")


def window_named(app, name, timeout=10):
    """The visible window of this copy of the program with exactly this title, ready for input."""
    window = app.wait_window(name, timeout)
    time.sleep(0.7)  # mapped is not yet ready for input: give the window its first expose
    return window


def gone(app, name):
    return not app.windows(name)


def is_checked(node):
    return node.get_state_set().contains(atspi().StateType.CHECKED)


class Case(unittest.TestCase):
    """A test that starts the program and ends it afterwards."""

    def launch(self, options=None, extra_env=None):
        """Starts the program, with options written beforehand; its main window ends in self.window, ready
        for input, and what a screen reader finds in self.root."""
        self.app = Zentimo(extra_env)
        self.addCleanup(self.app.cleanup)
        if options:
            self.app.seed(options)
        self.app.start()
        self.window = window_named(self.app, "Zentimo", 15)
        self.root = find_app()
        return self.app

    def caption(self):
        names = ("Start", "Stop", "Alarm Off", "Snooze")
        return next((name for name in names if find(self.root, name, "push button")), None)

    def fields(self):
        """The time fields as "hh:mm:ss"; in Wake mode the last reads a or p."""
        third = find(self.root, "Seconds", role="text") or find(self.root, "AM/PM", role="text")
        return ":".join(text_of(node) for node in (find(self.root, "Hours", role="text"),
                                                   find(self.root, "Minutes", role="text"), third))


def main():
    unittest.main(verbosity=2)


def run_in_own_session(script, argv):
    """For programs run by hand (benchmarks): starts a private X session, runs the script again inside its
    own D-Bus session with --inner added, and stops the X session. Returns the exit code."""
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    xsession = os.path.join(root, "tests", "e2e", "xsession.sh")
    state = tempfile.mkdtemp(prefix="zentimo-bench-x-")
    subprocess.run([xsession, "start", state], check=True, stdout=subprocess.DEVNULL)
    try:
        env = dict(os.environ, ZENTIMO_E2E_STATE=state)
        return subprocess.call(["dbus-run-session", "--", "/usr/bin/python3", script, "--inner"] + argv, env=env)
    finally:
        subprocess.run([xsession, "stop", state])
