#!/usr/bin/env bash
# Runs one end-to-end test file in a D-Bus session of its own, with a private runtime folder: the
# accessibility bus puts its socket there, and sessions sharing one would remove each other's.
set -euo pipefail
runtime=$(mktemp -d "${TMPDIR:-/tmp}/zentimo-e2e-run.XXXXXX")
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
dbus-run-session -- /usr/bin/python3 -m unittest -v "$(basename "$1" .py)"
