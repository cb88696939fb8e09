"""Real time across a frozen process and a wall clock that jumps, in real seconds: a countdown and a stopwatch
stopped with SIGSTOP show the time that really passed, and a wake alarm whose minute a clock change skips
still rings."""

import datetime
import os
import signal
import time
import unittest

import test_modes
from zentimo_e2e import FAKETIME_LIBRARY, main, wait_for

FROZEN_S = 4


def seconds_of(fields):
    h, m, s = (int(part) for part in fields.split(":"))
    return h * 3600 + m * 60 + s


class TimekeepingTest(unittest.TestCase):
    app = None
    # The other end-to-end file's helpers, not its tests.
    tearDown = test_modes.ModesTest.tearDown
    launch = test_modes.ModesTest.launch
    fields = test_modes.ModesTest.fields
    caption = test_modes.ModesTest.caption
    choose_mode = test_modes.ModesTest.choose_mode

    def freeze(self):
        self.app.proc.send_signal(signal.SIGSTOP)
        time.sleep(FROZEN_S)
        self.app.proc.send_signal(signal.SIGCONT)

    def test_countdown_and_stopwatch_count_the_time_a_freeze_took(self):
        app = self.launch()
        app.set_field(self.window, "Minutes", "2")
        app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Stop", what="counting down")
        started = time.monotonic()
        self.freeze()
        wait_for(lambda: abs(120 - seconds_of(self.fields()) - (time.monotonic() - started)) <= 1.2,
                 timeout=3, what="the countdown caught up with the %d s it was frozen" % FROZEN_S)
        app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Start", what="stopped")

        self.choose_mode("Stopwatch")
        app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Stop", what="stopwatch counting")
        started = time.monotonic()
        self.freeze()
        wait_for(lambda: abs(seconds_of(self.fields()) - (time.monotonic() - started)) <= 1.2,
                 timeout=3, what="the stopwatch caught up with the %d s it was frozen" % FROZEN_S)

    def test_wake_minute_skipped_by_a_clock_change_rings(self):
        offset = os.path.join(self.tmp_dir(), "faketime")
        with open(offset, "w") as f:
            f.write("+0\n")
        # A sanitizer build wants to come first in the library list; preloading is fine here.
        asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "verify_asan_link_order=0"]))
        self.launch(tz="UTC", extra_env={"LD_PRELOAD": FAKETIME_LIBRARY, "FAKETIME_TIMESTAMP_FILE": offset,
                                         "FAKETIME_NO_CACHE": "1", "FAKETIME_DONT_FAKE_MONOTONIC": "1",
                                         "ASAN_OPTIONS": asan})
        self.choose_mode("Wake")
        wake = datetime.datetime.now(datetime.timezone.utc) + datetime.timedelta(minutes=3)
        hour = wake.hour % 12 or 12
        self.app.set_field(self.window, "Hours", "%02d" % hour)
        self.app.set_field(self.window, "Minutes", "%02d" % wake.minute)
        self.app.set_field(self.window, "Seconds", "a" if wake.hour < 12 else "p")
        self.app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Stop", what="waiting for the wake time")
        # The clock is set ten minutes on: the wake minute never shows on it.
        with open(offset, "w") as f:
            f.write("+600\n")
        wait_for(lambda: self.caption() == "Snooze", timeout=5, what="the alarm of the skipped minute")

    def tmp_dir(self):
        import tempfile
        path = tempfile.mkdtemp(prefix="zentimo-clock-")
        self.addCleanup(lambda: __import__("shutil").rmtree(path, ignore_errors=True))
        return path


if __name__ == "__main__":
    main()
