"""Runs Orca with its debug log written line by line: it opens that file with Python's default block buffer,
which would hold back what it says last until it says a few kilobytes more.
orca_logged.py LOG ORCA-ARGUMENTS..."""

import builtins
import runpy
import sys

log = sys.argv[1]
real_open = builtins.open


def line_buffered(file, mode="r", *args, **kwargs):
    if file == log and "w" in mode:
        kwargs["buffering"] = 1
    return real_open(file, mode, *args, **kwargs)


builtins.open = line_buffered
sys.argv = ["orca", "--debug-file", log] + sys.argv[2:]
runpy.run_path("/usr/bin/orca", run_name="__main__")
