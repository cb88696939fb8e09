#!/usr/bin/python3
"""How late a countdown's alarm comes: presses Start on an N-second countdown and waits for the button to
read "Alarm Off", both through the accessibility bus as a screen reader would. The press lands 100 ms after
the request (Qt animates the click), which is taken off; polling adds up to a few ms.

    bench/countdown_error.py [--binary build/zentimo] [--seconds 10] [--runs 3]
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))


ANIMATED_CLICK_S = 0.100


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", default=os.path.join(ROOT, "build", "zentimo"))
    parser.add_argument("--seconds", type=int, default=10)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()

    if not args.inner:
        state = tempfile.mkdtemp(prefix="zentimo-bench-x-")
        subprocess.run([os.path.join(ROOT, "tests", "e2e", "xsession.sh"), "start", state], check=True,
                       stdout=subprocess.DEVNULL)
        try:
            env = dict(os.environ, ZENTIMO_E2E_STATE=state, ZENTIMO_BINARY=os.path.abspath(args.binary))
            return subprocess.call(["dbus-run-session", "--", "/usr/bin/python3", __file__, "--inner",
                                    "--binary", args.binary, "--seconds", str(args.seconds),
                                    "--runs", str(args.runs)], env=env)
        finally:
            subprocess.run([os.path.join(ROOT, "tests", "e2e", "xsession.sh"), "stop", state])

    import zentimo_e2e as z
    app = z.Zentimo().start()
    errors = []
    try:
        window = app.wait_window()
        root = z.find_app()
        for _ in range(args.runs):
            h, rest = divmod(args.seconds, 3600)
            m, s = divmod(rest, 60)
            for name, value in (("Hours", h), ("Minutes", m), ("Seconds", s)):
                app.set_field(window, name, f"{value:02d}")
            button = z.find(root, "Start")
            t0 = time.monotonic()
            z.press(button)
            # The accessibility "Press" action animates the click: Qt emits clicked() 100 ms later.
            t0 += ANIMATED_CLICK_S
            while True:
                button.clear_cache()  # the client caches names until an event arrives; ask afresh
                if button.get_name() == "Alarm Off":
                    break
                time.sleep(0.002)
            t1 = time.monotonic()
            errors.append((t1 - t0 - args.seconds) * 1000)
            z.press(button)
            z.wait_for(lambda: z.find(root, "Start") is not None, what="idle")
    finally:
        app.cleanup()
    print(f"countdown of {args.seconds} s, alarm error per run (ms): " + ", ".join(f"{e:+.1f}" for e in errors))
    print(f"worst: {max(errors, key=abs):+.1f} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
