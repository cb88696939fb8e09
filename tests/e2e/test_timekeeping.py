"""Time as the running program keeps it, in real seconds: a wake alarm at a faked clock time with Snooze; a frozen
countdown and stopwatch show the time that really passed; a wake minute a clock change skips still rings."""

import datetime
import os
import pathlib
import shutil
import signal
import tempfile
import time

from zentimo_e2e import Case, click_node, wait_for

def faked_clock(**settings):
    """libfaketime preloaded itself, not by its wrapper, so that the pid found is the program's."""
    # A sanitizer build insists on coming first in the library list; preloading is fine here.
    asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "verify_asan_link_order=0"]))
    return dict(settings, LD_PRELOAD="/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
                FAKETIME_DONT_FAKE_MONOTONIC="1", ASAN_OPTIONS=asan)


def seconds_of(fields):
    return sum(int(part) * unit for part, unit in zip(fields.split(":"), (3600, 60, 1)))


class TimekeepingTest(Case):
    def choose_mode(self, mode):
        self.app.click(self.window, "Options")
        options = self.window_named("Options")
        click_node(self.control(mode, "radio button"), options)
        click_node(self.control("Done", "push button"), options)
        wait_for(lambda: not self.app.windows("Options"), what="Options closed")

    def start_and_freeze(self, counted):
        """Starts counting and freezes the program; then it must show counted(the seconds really passed)."""
        self.app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Stop", what="counting")
        started = time.monotonic()
        self.app.proc.send_signal(signal.SIGSTOP)
        time.sleep(4)
        self.app.proc.send_signal(signal.SIGCONT)
        wait_for(lambda: abs(seconds_of(self.fields()) - counted(time.monotonic() - started)) <= 1.2, timeout=3,
                 what="the count to catch up with the time it was frozen")

    def test_wake_alarm_and_snooze(self):
        app = self.launch(extra_env=faked_clock(FAKETIME="@2026-12-06 07:29:52"))
        self.choose_mode("Wake")
        app.set_field(self.window, "Minutes", "30")
        wait_for(lambda: self.fields() == "07:30:a", what="wake time 07:30 a")
        app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Snooze", timeout=15, what="Snooze at 07:30")
        wait_for(lambda: app.audio_peak() > 3000, what="audible wake alarm")
        app.click(self.window, "Start")
        wait_for(lambda: self.fields() == "07:40:a" and self.caption() == "Stop", what="snoozed to 07:40")

    def test_countdown_and_stopwatch_count_the_time_a_freeze_took(self):
        self.launch().set_field(self.window, "Minutes", "2")
        self.start_and_freeze(lambda passed: 120 - passed)
        self.app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Start", what="stopped")
        self.choose_mode("Stopwatch")
        self.start_and_freeze(lambda passed: passed)

    def test_wake_minute_skipped_by_a_clock_change_rings(self):
        # An offset the preloaded clock reads afresh at every look.
        offset = pathlib.Path(tempfile.mkdtemp(prefix="zentimo-clock-"), "faketime")
        self.addCleanup(shutil.rmtree, offset.parent, True)
        offset.write_text("+0\n")
        app = self.launch(extra_env=faked_clock(FAKETIME_TIMESTAMP_FILE=str(offset), FAKETIME_NO_CACHE="1"))
        self.choose_mode("Wake")
        wake = datetime.datetime.now(datetime.timezone.utc) + datetime.timedelta(minutes=3)
        app.set_field(self.window, "Hours", "%02d" % (wake.hour % 12 or 12))
        app.set_field(self.window, "Minutes", "%02d" % wake.minute)
        app.set_field(self.window, "Seconds", "a" if wake.hour < 12 else "p")
        app.click(self.window, "Start")
        wait_for(lambda: self.caption() == "Stop", what="waiting for the wake time")
        # The clock is set ten minutes on: the wake minute never shows on it.
        offset.write_text("+600\n")
        wait_for(lambda: self.caption() == "Snooze", timeout=5, what="the alarm of the skipped minute")
