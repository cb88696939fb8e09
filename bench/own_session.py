"""For benchmarks run by hand: a script run again with --inner in a private X and D-Bus session."""

import os
import subprocess
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def run_in_own_session(script, argv):
    xsession = os.path.join(ROOT, "tests", "e2e", "xsession.sh")
    state = tempfile.mkdtemp(prefix="zentimo-bench-x-")
    subprocess.run([xsession, "start", state], check=True, stdout=subprocess.DEVNULL)
    try:
        env = dict(os.environ, ZENTIMO_E2E_STATE=state)
        return subprocess.call(["dbus-run-session", "--", "/usr/bin/python3", script, "--inner"] + argv, env=env)
    finally:
        subprocess.run([xsession, "stop", state])
