#!/usr/bin/python3
"""Wake-ups and CPU time of a running Zentimo, idle and while a countdown runs.

Starts its own Xvfb + icewm, runs the built binary (default build/zentimo) in a private D-Bus session
and counts the growth of the voluntary context switches of all its threads over a window.

    bench/idle_wakeups.py [--binary build/zentimo] [--seconds 30]
"""

import argparse
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))


def switches(pid):
    """Voluntary context switches of each thread, by thread id."""
    counts = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/status") as f:
                for line in f:
                    if line.startswith("voluntary_ctxt_switches:"):
                        counts[tid] = int(line.split()[1])
        except FileNotFoundError:
            pass
    return counts


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def measure(pid, seconds):
    s0, c0 = switches(pid), cpu_seconds(pid)
    time.sleep(seconds)
    s1, c1 = switches(pid), cpu_seconds(pid)
    # Idle pool threads end after 30 s and take their counts with them: only threads that lived through the
    # whole window are counted (one started inside it is counted from zero).
    woken = sum(count - s0.get(tid, 0) for tid, count in s1.items())
    return woken / seconds, (c1 - c0) / seconds * 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", default=os.path.join(ROOT, "build", "zentimo"))
    parser.add_argument("--seconds", type=float, default=30)
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()

    import zentimo_e2e as z
    if not args.inner:
        from own_session import run_in_own_session
        return run_in_own_session(__file__, sys.argv[1:])
    os.environ["ZENTIMO_BINARY"] = os.path.abspath(args.binary)
    app = z.Zentimo().start()
    try:
        app.wait_window()
        root = z.find_app()
        time.sleep(3)  # let start-up settle
        idle_wakeups, idle_cpu = measure(app.proc.pid, args.seconds)

        window = app.wait_window()
        app.set_field(window, "Minutes", "59")
        app.click(window, "Start")
        z.wait_for(lambda: z.find(root, "Stop") is not None, what="countdown running")
        time.sleep(1)
        run_wakeups, run_cpu = measure(app.proc.pid, args.seconds)
    finally:
        app.cleanup()

    print(f"{'state':<22}{'wake-ups/s':>12}{'CPU ms/s':>12}")
    print(f"{'idle':<22}{idle_wakeups:>12.2f}{idle_cpu:>12.2f}")
    print(f"{'countdown running':<22}{run_wakeups:>12.2f}{run_cpu:>12.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
