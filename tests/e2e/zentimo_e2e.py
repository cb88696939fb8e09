"""Drives the real zentimo binary on the shared Xvfb server: input through xdotool, what a screen reader sees
through AT-SPI. Each test file runs in a D-Bus session of its own, so the accessibility bus is private to it."""

import array
import os
import pathlib
import shutil
import subprocess
import tempfile
import time
import unittest

STATE = os.environ.get("ZENTIMO_E2E_STATE", "")
SHOTS = os.environ.get("ZENTIMO_SHOTS", tempfile.gettempdir())


def xenv():
    if not STATE:  # on a real desktop (tests/desktops): its session as it stands
        return dict(os.environ)
    with open(os.path.join(STATE, "display")) as f:
        return dict(os.environ, DISPLAY=f.read().strip())


def run(*args, check=True, env=None):
    return subprocess.run(args, check=check, capture_output=True, text=True, env=env or xenv(), timeout=60)


def wait_for(predicate, timeout=10.0, what="condition", step=0.05):
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(step)
    return value


# Twips rectangles of the small window's controls (15 twips a pixel).
SMALL = {"Seconds": (2430, 270, 720, 615), "Start": (90, 960, 1065, 705), "Options": (1170, 960, 735, 345),
         "Tray": (1920, 1320, 735, 345), "Presets": (1920, 960, 735, 345), "About": (2670, 1320, 735, 345)}


def end_process(proc):
    if proc and proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def geometry(window):
    out = run("xdotool", "getwindowgeometry", "--shell", str(window)).stdout
    values = dict(line.split("=", 1) for line in out.split())
    return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))


def wm_state(window):
    return run("xprop", "-id", str(window), "_NET_WM_STATE", check=False).stdout


def click_at(x, y, button=1, repeat=1):
    # No --sync, which waits forever when the pointer already stands there: the server takes the move first.
    run("xdotool", "mousemove", str(x), str(y), "click", "--repeat", str(repeat), "--delay", "80", str(button))


def pixel(x, y, image="x:root"):
    return tuple(subprocess.run(["convert", image, "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "rgb:-"],
                                check=True, capture_output=True, env=xenv()).stdout[:3])


def key(*keys):
    run("xdotool", "key", "--delay", "30", *keys)


def picture(name, window, frame=True):
    """A README picture of one window as it stands on the screen; `make screenshots` copies them to docs/."""
    os.makedirs(os.path.join(SHOTS, "docs"), exist_ok=True)
    x, y, width, height = geometry(window)
    where = ["-frame", "-window", str(window)] if frame else ["-window", "root", "-crop",
                                                               "%dx%d+%d+%d" % (width, height, x, y), "+repage"]
    run("import", *where, os.path.join(SHOTS, "docs", name + ".png"))


class Zentimo:
    """A copy of the program with its own configuration folder and disk audio file; extra_env's None unsets."""

    def __init__(self, extra_env=None):
        self.tmp = tempfile.mkdtemp(prefix="zentimo-e2e-")
        self.registry = os.path.join(self.tmp, "config", "zentimo", "registry.reg")
        self.audio, self.log = os.path.join(self.tmp, "audio.raw"), os.path.join(self.tmp, "zentimo.log")
        self.extra_env, self.proc = extra_env or {}, None

    def env(self):
        env = dict(xenv(), QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   XDG_CONFIG_HOME=os.path.join(self.tmp, "config"), SDL_AUDIODRIVER="disk",
                   SDL_DISKAUDIOFILE=self.audio, TZ="UTC")
        return {k: v for k, v in {**env, **self.extra_env}.items() if v is not None}

    def start(self, *args):
        with open(self.log, "ab") as log:
            self.proc = subprocess.Popen([os.environ["ZENTIMO_BINARY"], *args], env=self.env(), stdout=log,
                                         stderr=subprocess.STDOUT)
        return self

    def command(self, *args):
        """A later start, without an X display: it must hand its options to the running program over the bus."""
        env = {k: v for k, v in self.env().items() if k != "DISPLAY"}
        return subprocess.run([os.environ["ZENTIMO_BINARY"], *args], env=env, capture_output=True, text=True,
                              timeout=30)

    def cleanup(self):
        end_process(self.proc)
        shutil.rmtree(self.tmp, ignore_errors=True)

    def seed(self, values):
        os.makedirs(os.path.dirname(self.registry))
        lines = ["Zentimo Registry Version 1", "", "[HKEY_CURRENT_USER\\Software\\Fernwick\\Zentimo\\Options]"]
        lines += ['"%s"="%s"' % item for item in values.items()]
        pathlib.Path(self.registry).write_text("\n".join(lines) + "\n", encoding="utf-8")

    def windows(self, name="Zentimo"):
        # By title unless name is None. --all: without it xdotool takes a window matching the pid *or* the name.
        args = ["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.proc.pid)]
        if name is not None:
            args += ["--name", "^" + name + "$"]
        return [int(w) for w in run(*args, check=False, env=self.env()).stdout.split()]

    def wait_window(self, name="Zentimo", timeout=15):
        return wait_for(lambda: self.windows(name), timeout, what="window " + name)[0]

    def click(self, window, control):
        left, top, width, height = SMALL[control]
        x, y, _, _ = geometry(window)
        click_at(x + round((left + width / 2) / 15), y + round((top + height / 2) / 15))

    def audio_peak(self, start=0):
        data = pathlib.Path(self.audio).read_bytes()[start:] if os.path.exists(self.audio) else b""
        return max(map(abs, array.array("h", data[:len(data) // 2 * 2])), default=0)


class Weston:
    """A headless Wayland session of its own; XWayland, if asked for, names its X display in Weston's log."""

    def __init__(self, xwayland):
        runtime = os.environ.get("XDG_RUNTIME_DIR") or tempfile.mkdtemp(prefix="zentimo-wl-")
        self.socket = "wayland-zentimo-%s" % ("x" if xwayland else "plain")
        self.log_path = os.path.join(runtime, self.socket + ".log")
        args = ["weston", "--backend=headless-backend.so", "--socket=" + self.socket, "--idle-time=0",
                "--width=1280", "--height=800"] + ["--xwayland"] * xwayland
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        with open(self.log_path, "wb") as log:
            self.proc = subprocess.Popen(args, env=dict(env, XDG_RUNTIME_DIR=runtime), stdout=log,
                                         stderr=subprocess.STDOUT, start_new_session=True)
        wait_for(lambda: os.path.exists(os.path.join(runtime, self.socket)), what="Weston's socket")
        self.display = wait_for(self._x_display, what="Weston's X display") if xwayland else None
        self.env = {"WAYLAND_DISPLAY": self.socket, "DISPLAY": self.display, "QT_QPA_PLATFORM": None}

    def _x_display(self):
        with open(self.log_path, errors="replace") as f:
            return next((line.split()[-1] for line in f if "xserver listening on display" in line), None)


def atspi():
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi
    return Atspi


def find_app(timeout=15):
    def look():
        desktop = atspi().get_desktop(0)
        for app in map(desktop.get_child_at_index, range(desktop.get_child_count())):
            try:
                # A program that has just ended may still be listed for a moment.
                if (app.get_name() or "").lower() == "zentimo" and os.path.exists("/proc/%d" % app.get_process_id()):
                    return app
            except Exception:
                continue

    return wait_for(look, timeout, what="zentimo on the accessibility bus")


def walk(node, depth=0):
    yield node
    try:
        children = [node.get_child_at_index(i) for i in range(node.get_child_count())] if depth < 30 else []
    except Exception:
        return
    for child in filter(None, children):
        yield from walk(child, depth + 1)


def find(root, name, role=None):
    """A control by its accessible name."""
    for node in walk(root):
        try:
            if node.get_name() == name and role in (None, node.get_role_name()) and has_state(node, "SHOWING"):
                return node
        except Exception:
            continue


def has_state(node, state):
    return node.get_state_set().contains(getattr(atspi().StateType, state))


def press(node):
    action = node.get_action_iface()
    names = [action.get_action_name(i) for i in range(action.get_n_actions())]
    action.do_action(next((i for i, n in enumerate(names) if n in ("Press", "press", "click")), 0))


def text_of(node):
    iface = node.get_text_iface()
    return iface.get_text(0, iface.get_character_count()) if iface else node.get_name()


class Case(unittest.TestCase):

    def open(self, options=None, extra_env=None, args=()):
        self.app = Zentimo(extra_env)
        self.addCleanup(self.app.cleanup)
        if options:
            self.app.seed(options)
        return self.app.start(*args)

    def launch(self, options=None, extra_env=None, args=(), accessible=True):
        """Also the main window, ready for input, in self.window; its accessible tree in self.root."""
        self.open(options, extra_env, args)
        self.window = self.app.wait_window()
        time.sleep(0.7)  # mapped is not yet ready for input: give the window its first expose
        self.root = find_app() if accessible else None
        return self.app

    def control(self, name, role=None):
        """Waits for a control; between looks the cached tree, which lacks new windows, is dropped."""
        return wait_for(lambda: find(self.root, name, role) or self.root.clear_cache(), what=name)

    def caption(self):
        return next((n for n in ("Start", "Stop", "Alarm Off", "Snooze") if find(self.root, n, "push button")), None)

    def fields(self):
        """The time fields as "hh:mm:ss"; in Wake mode the last reads a or p."""
        third = find(self.root, "Seconds", "text") or find(self.root, "AM/PM", "text")
        hours, minutes = (find(self.root, name, "text") for name in ("Hours", "Minutes"))
        return ":".join(text_of(n) for n in (hours, minutes, third))
