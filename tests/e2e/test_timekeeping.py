"""A wake alarm at a faked clock time with Snooze, whose minute a clock change skips, still rings (real seconds).
How a tick counts a freeze or a suspend is tst_engine's; this is the real clock under it."""

import datetime
import os
import pathlib
import shutil
import tempfile

from zentimo_e2e import Case, wait_for


class TimekeepingTest(Case):
    def test_wake_alarm_snooze_and_a_snoozed_minute_skipped_by_a_clock_change(self):
        # An offset the preloaded clock reads afresh at every look, first to 07:29:52.
        offset = pathlib.Path(tempfile.mkdtemp(prefix="zentimo-clock-"), "faketime")
        self.addCleanup(shutil.rmtree, offset.parent, True)
        now = datetime.datetime.now(datetime.timezone.utc)
        shift = int((now.replace(hour=7, minute=29, second=52) - now).total_seconds())
        offset.write_text("%+d\n" % shift)
        # libfaketime preloaded itself, not by its wrapper, so that the pid found is the program's. A sanitizer
        # build insists on coming first in the library list; preloading is fine here.
        asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "verify_asan_link_order=0"]))
        clock = {"LD_PRELOAD": "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1", "ASAN_OPTIONS": asan,
                 "FAKETIME_DONT_FAKE_MONOTONIC": "1", "FAKETIME_TIMESTAMP_FILE": str(offset), "FAKETIME_NO_CACHE": "1"}
        app = self.launch(extra_env=clock, args=("--wake", "07:30a", "--start"))
        wait_for(lambda: self.caption() == "Snooze", timeout=15, what="Snooze at 07:30")
        app.click(self.window, "Start")
        wait_for(lambda: self.fields() == "07:40:a" and self.caption() == "Stop", what="snoozed to 07:40")
        # The clock is set fifteen minutes on: 07:40 never shows on it.
        offset.write_text("%+d\n" % (shift + 900))
        wait_for(lambda: self.caption() == "Snooze", timeout=5, what="the alarm of the skipped minute")
