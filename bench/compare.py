#!/usr/bin/python3
"""Zentimo against the least a Qt 6 Widgets program costs: start-up, memory, idle and running cost, the
accuracy of a countdown's alarm and the latency of its sound, side by side with a baseline window (a
label ticking once a second, bench/baseline/) and the ratio of the two.

Builds both programs first, then runs everything on a private Xvfb + icewm in a private D-Bus session.

    bench/compare.py [--build build] [--quick] [--markdown] [--no-build]

--quick: 3 start-ups, 10 s windows, a 10 s countdown (about 1.5 minutes instead of 16).
--startup: only the 10 start-ups and the memory figures (about a minute).
Exits with 1 when a figure misses its target. bench/RESULTS.md explains the figures.
"""

import argparse
import os
import platform
import re
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from zentimo_e2e import end_process  # noqa: E402


# ---- /proc ---------------------------------------------------------------------------------------------

def thread_counts(pid):
    """{thread id: (voluntary context switches, CPU nanoseconds)}. Each voluntary switch is a sleep the
    thread woke from; the CPU time comes from the scheduler's nanosecond counts (the clock ticks of
    /proc/PID/stat are 10 ms, too coarse for a program that is mostly asleep)."""
    counts = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/status") as f:
                switches = next(int(line.split()[1]) for line in f if line.startswith("voluntary_ctxt_switches:"))
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                ns = int(f.read().split()[0])
        except (FileNotFoundError, ProcessLookupError, StopIteration):
            continue  # a thread that ended meanwhile
        counts[tid] = (switches, ns)
    return counts


def memory_kib(pid):
    values = {}
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            key, _, rest = line.partition(":")
            if key in ("Rss", "Pss"):
                values[key] = int(rest.split()[0])
    return values["Rss"], values["Pss"]


class Counter:
    """Wake-ups and CPU time of some processes over a stretch of time, counted per thread: a thread that
    ends (Qt's pooled threads do after 30 s idle) takes its counters with it, so every thread is sampled
    twice a second and keeps its last known figures. A thread born meanwhile counts from zero."""

    def __init__(self, *pids):
        self.first = {pid: thread_counts(pid) for pid in pids}
        self.last = {pid: dict(counts) for pid, counts in self.first.items()}
        self.t0 = time.monotonic()

    def watch(self, seconds):
        end = self.t0 + seconds
        while time.monotonic() < end:
            time.sleep(min(0.5, max(0.0, end - time.monotonic())))
            for pid in self.first:
                for tid, counts in thread_counts(pid).items():
                    self.first[pid].setdefault(tid, (0, 0))
                    self.last[pid][tid] = counts
        self.seconds = time.monotonic() - self.t0
        return self

    def rates(self, pid):
        """(wake-ups a second, CPU milliseconds a second)"""
        first, last = self.first[pid], self.last[pid]
        switches = sum(last[t][0] - first[t][0] for t in last)
        ns = sum(last[t][1] - first[t][1] for t in last)
        return switches / self.seconds, ns / 1e6 / self.seconds


# ---- X -------------------------------------------------------------------------------------------------

class MapWatch:
    """Tells when a process maps its first window. The window is created as a child of the root (seen with
    SubstructureNotify there); the window manager reparents it before mapping it, so the MapNotify is
    watched on the window itself."""

    def __init__(self, display_name):
        from Xlib import X, display
        self.X = X
        self.d = display.Display(display_name)
        self.d.set_error_handler(lambda *args: None)  # windows may vanish while we look at them
        self.root = self.d.screen().root
        self.pid_atom = self.d.intern_atom("_NET_WM_PID")
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.d.sync()

    def drain(self):
        while self.d.pending_events():
            self.d.next_event()

    def owned_by(self, window, pid):
        try:
            prop = window.get_full_property(self.pid_atom, self.X.AnyPropertyType)
        except Exception:
            return False
        return prop is not None and len(prop.value) > 0 and int(prop.value[0]) == pid

    def wait_mapped(self, pid, timeout=20.0):
        """Monotonic time of the first MapNotify of a window of `pid`."""
        X = self.X
        deadline = time.monotonic() + timeout
        while True:
            if not self.d.pending_events():
                left = deadline - time.monotonic()
                if left <= 0:
                    raise TimeoutError(f"no window of process {pid} mapped within {timeout} s")
                select.select([self.d.fileno()], [], [], min(left, 0.05))
                if not self.d.pending_events():
                    continue
            event = self.d.next_event()
            now = time.monotonic()
            if event.type == X.CreateNotify:
                window = event.window
                window.change_attributes(event_mask=X.StructureNotifyMask)
                self.d.sync()
                try:
                    mapped = window.get_attributes().map_state != X.IsUnmapped
                except Exception:
                    mapped = False
                if mapped and self.owned_by(window, pid):  # mapped before we listened
                    return time.monotonic()
            elif event.type == X.MapNotify and self.owned_by(event.window, pid):
                return now


# ---- programs ------------------------------------------------------------------------------------------

class Program:
    def __init__(self, name, binary, title, env):
        self.name, self.binary, self.title, self.env = name, binary, title, env
        self.proc = None

    def start(self):
        self.proc = subprocess.Popen([self.binary], env=self.env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        return self.proc.pid

    def stop(self):
        end_process(self.proc)

    def window(self, timeout=15.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid), "--name",
                                  "^" + self.title + "$"], capture_output=True, text=True, env=self.env).stdout
            if out.split():
                return int(out.split()[0])
            time.sleep(0.05)
        raise TimeoutError(f"{self.name}: no window")


def startup_times(program, watch, runs):
    """Seconds from launch to the first mapped window, one warm-up launch first (disk and font caches)."""
    times = []
    for i in range(runs + 1):
        watch.drain()
        t0 = time.monotonic()
        pid = program.start()
        try:
            t1 = watch.wait_mapped(pid)
        finally:
            time.sleep(0.3)  # let it finish its start-up before it is asked to quit
            program.stop()
        if i > 0:
            times.append(t1 - t0)
    return times


def xdo(env, *args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True, env=env).stdout


def window_pixels(env, window):
    return subprocess.run(["import", "-window", str(window), "-depth", "8", "rgb:-"], check=True,
                          capture_output=True, env=env).stdout


def start_countdown(env, window):
    """Types 59 minutes into the small window and presses Start, as a user would (no accessibility bus:
    it would add wake-ups of its own)."""
    geometry = dict(line.split("=", 1) for line in xdo(env, "getwindowgeometry", "--shell", str(window)).split())
    x, y = int(geometry["X"]), int(geometry["Y"])

    def click(left, top, width, height):  # twips, 15 a pixel
        xdo(env, "mousemove", "--sync", str(x + round((left + width / 2) / 15)),
            str(y + round((top + height / 2) / 15)))
        xdo(env, "click", "1")

    click(1260, 270, 720, 615)  # Minutes
    xdo(env, "type", "--delay", "30", "59")
    xdo(env, "key", "Tab")
    click(90, 960, 1065, 705)  # Start
    before = window_pixels(env, window)
    time.sleep(1.5)
    if window_pixels(env, window) == before:
        raise RuntimeError("the countdown did not start: the window did not change")


def countdown_error(binary, seconds, env):
    out = subprocess.run(["/usr/bin/python3", os.path.join(HERE, "countdown_error.py"), "--inner", "--binary", binary,
                          "--seconds", str(seconds), "--runs", "1"], check=True, capture_output=True, text=True,
                         env=env).stdout
    match = re.search(r"worst: ([-+0-9.]+) ms", out)
    if not match:
        raise RuntimeError("countdown_error.py said: " + out)
    return float(match.group(1))


def sound_latency(binary):
    out = subprocess.run([binary], check=True, capture_output=True, text=True).stdout
    first = re.search(r"built-in 107, PlayBuiltInLooped\s+first sample\s+median\s+([0-9.]+) ms", out)
    audible = re.search(r"PlayBuiltInLooped.*\n\s+above -40 dBFS median\s+([0-9.]+) ms", out)
    cold = re.search(r"cold start, built-in 107\s+first sample\s+([0-9.]+) ms", out)
    if not first:
        raise RuntimeError("sound_latency said: " + out)
    return (float(first.group(1)), float(audible.group(1)) if audible else float("nan"),
            float(cold.group(1)) if cold else float("nan"))


# ---- report --------------------------------------------------------------------------------------------

def machine():
    cpu = platform.processor() or "unknown CPU"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    try:
        with open("/etc/debian_version") as f:
            debian = "Debian " + f.read().strip()
    except OSError:
        debian = platform.platform()
    qt = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "libqt6core6"], capture_output=True,
                        text=True).stdout or "?"
    return f"{cpu}, {os.cpu_count()} CPUs, {debian}, kernel {platform.release()}, Qt {qt}, Xvfb + icewm"


def table(rows, markdown):
    header = ("figure", "Zentimo", "baseline", "ratio", "target", "")
    lines = []
    if markdown:
        lines.append("| " + " | ".join(header[:-1]) + " | met |")
        lines.append("|---|---:|---:|---:|---|:-:|")
        for r in rows:
            lines.append("| " + " | ".join(r) + " |")
    else:
        widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(len(header))]
        for r in [header] + rows:
            lines.append("  ".join(str(c).ljust(widths[i]) if i in (0, 4) else str(c).rjust(widths[i])
                                   for i, c in enumerate(r)))
    return "\n".join(lines)


def row(name, ours, base, unit, fmt, target=None, met=None):
    ratio = f"{ours / base:.2f}x" if base not in (None, 0) else "—"
    base_text = f"{base:{fmt}} {unit}" if base is not None else "—"
    return [name, f"{ours:{fmt}} {unit}", base_text, ratio, target or "", "" if met is None else
            ("yes" if met else "NO")]


def inner(args):
    display = open(os.path.join(args.state, "display")).read().strip()
    tmp = tempfile.mkdtemp(prefix="zentimo-compare-")
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=os.path.join(tmp, "config"),
               SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=os.path.join(tmp, "audio.raw"), TZ="UTC")
    for var in ("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "QT_ACCESSIBILITY"):
        env.pop(var, None)
    zentimo = Program("Zentimo", args.zentimo, "Zentimo", env)
    baseline = Program("baseline", args.baseline, "Baseline", env)
    runs = 3 if args.quick else 10
    window_s = 10 if args.quick else 60
    countdown_s = 10 if args.quick else 600
    rows = []
    try:
        watch = MapWatch(display)
        print(f"start-up, {runs} runs each ...", file=sys.stderr)
        z_start, b_start = startup_times(zentimo, watch, runs), startup_times(baseline, watch, runs)
        z_med, b_med = statistics.median(z_start) * 1000, statistics.median(b_start) * 1000
        rows.append(row(f"start-up to mapped window (median of {runs})", z_med, b_med, "ms", ".0f", "≤ 1.3x",
                        z_med <= 1.3 * b_med))

        print("memory, idle and running cost ...", file=sys.stderr)
        started = time.monotonic()
        zentimo.start()
        baseline.start()
        z_win = zentimo.window()
        b_win = baseline.window()
        xdo(env, "windowmove", str(b_win), "700", "450")  # clear of Zentimo's buttons
        time.sleep(max(0.0, started + 5 - time.monotonic()))
        z_rss, z_pss = memory_kib(zentimo.proc.pid)
        b_rss, b_pss = memory_kib(baseline.proc.pid)
        rows.append(row("resident memory 5 s after start", z_rss / 1024, b_rss / 1024, "MiB", ".1f", "≤ 1.3x",
                        z_rss <= 1.3 * b_rss))
        rows.append(row("proportional memory (PSS)", z_pss / 1024, b_pss / 1024, "MiB", ".1f"))
        if args.startup:
            print(table(rows, args.markdown))
            print(f"\nstart-up runs (ms)  Zentimo: {' '.join(f'{t * 1000:.0f}' for t in z_start)}")
            print(f"                    baseline: {' '.join(f'{t * 1000:.0f}' for t in b_start)}")
            return 0

        time.sleep(2)
        count = Counter(zentimo.proc.pid, baseline.proc.pid).watch(window_s)
        (z_idle_w, z_idle_c), (b_idle_w, b_idle_c) = count.rates(zentimo.proc.pid), count.rates(baseline.proc.pid)

        start_countdown(env, z_win)
        count = Counter(zentimo.proc.pid, baseline.proc.pid).watch(window_s)
        (z_run_w, z_run_c), (b_run_w, b_run_c) = count.rates(zentimo.proc.pid), count.rates(baseline.proc.pid)
        zentimo.stop()
        baseline.stop()
        rows.append(row(f"wake-ups idle ({window_s} s)", z_idle_w, b_idle_w, "/s", ".2f", "≤ 1 /s", z_idle_w <= 1))
        rows.append(row("CPU time idle", z_idle_c, b_idle_c, "ms/s", ".2f"))
        rows.append(row(f"wake-ups counting down ({window_s} s)", z_run_w, b_run_w, "/s", ".2f", "≤ 3.5 /s",
                        z_run_w <= 3.5))
        rows.append(row("CPU time counting down", z_run_c, b_run_c, "ms/s", ".2f"))

        print(f"a {countdown_s} s countdown ...", file=sys.stderr)
        error = countdown_error(args.zentimo, countdown_s, dict(env, ZENTIMO_E2E_STATE=args.state,
                                                                ZENTIMO_BINARY=args.zentimo))
        rows.append(row(f"alarm moment error, {countdown_s} s countdown", error, None, "ms", "+.1f", "< 20 ms",
                        abs(error) < 20))

        print("sound latency ...", file=sys.stderr)
        first, audible, cold = sound_latency(args.sound_latency)
        rows.append(row("built-in sound: call to first sample (median)", first, None, "ms", ".1f", "< 30 ms",
                        first < 30))
        rows.append(row("built-in sound: call to -40 dBFS (median)", audible, None, "ms", ".1f"))
        rows.append(row("built-in sound, first ever (opens the device)", cold, None, "ms", ".1f"))
    finally:
        zentimo.stop()
        baseline.stop()
        shutil.rmtree(tmp, ignore_errors=True)

    print(f"{time.strftime('%Y-%m-%d')}, {machine()}")
    if args.quick:
        print("quick run: fewer start-ups, shorter windows and countdown")
    print(table(rows, args.markdown))
    print(f"\nstart-up runs (ms)  Zentimo: {' '.join(f'{t * 1000:.0f}' for t in z_start)}")
    print(f"                    baseline: {' '.join(f'{t * 1000:.0f}' for t in b_start)}")
    return 0 if all(r[5] != "NO" for r in rows) else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"), help="CMake build folder")
    parser.add_argument("--quick", action="store_true", help="a short run")
    parser.add_argument("--markdown", action="store_true", help="print the table as Markdown")
    parser.add_argument("--startup", action="store_true", help="start-up (10 runs) and memory only")
    parser.add_argument("--no-build", action="store_true", help="use the programs as they are")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    args.zentimo = os.path.join(build, "zentimo")
    args.baseline = os.path.join(build, "bench", "zentimo_baseline")
    args.sound_latency = os.path.join(build, "bench", "sound_latency")
    if args.inner:
        args.state = os.environ["ZENTIMO_E2E_STATE"]
        return inner(args)

    if not args.no_build:
        subprocess.run(["cmake", "--build", build, "-j2", "--target", "zentimo", "zentimo_baseline",
                        "sound_latency"], check=True, stdout=subprocess.DEVNULL)
    sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
    from own_session import run_in_own_session
    return run_in_own_session(__file__, ["--build", build] + (["--quick"] if args.quick else []) +
                              (["--markdown"] if args.markdown else []) + (["--startup"] if args.startup else []))


if __name__ == "__main__":
    sys.exit(main())
