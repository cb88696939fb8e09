# Sourced by session_<desktop>.sh: the unprivileged user, the private runtime folder and session bus, the
# waits for readiness and the teardown that ends every process the session started.
set -euo pipefail

DESKTOP_USER=${DESKTOP_USER:-zentimo-desktop}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# As root: make the test user if missing, give it the folder the pictures go to, run this script again as it.
session_as_user() {
    [ "$(id -u)" -eq 0 ] || return 0
    id -u "$DESKTOP_USER" >/dev/null 2>&1 || useradd --create-home --user-group --shell /bin/bash "$DESKTOP_USER" \
        2>/dev/null || id -u "$DESKTOP_USER" >/dev/null
    [ -z "${ZENTIMO_SHOTS:-}" ] || { mkdir -p "$ZENTIMO_SHOTS" && chown "$DESKTOP_USER:" "$ZENTIMO_SHOTS"; }
    local home
    home=$(getent passwd "$DESKTOP_USER" | cut -d: -f6)
    exec setpriv --reuid="$DESKTOP_USER" --regid="$DESKTOP_USER" --init-groups --reset-env -- \
        env PATH="$PATH" HOME="$home" USER="$DESKTOP_USER" LOGNAME="$DESKTOP_USER" LANG=C.UTF-8 TERM=dumb \
        ZENTIMO_BINARY="${ZENTIMO_BINARY:-}" ZENTIMO_SHOTS="${ZENTIMO_SHOTS:-}" PYTHONPATH="${PYTHONPATH:-}" \
        PYTHONDONTWRITEBYTECODE=1 DESKTOP_KEEP="${DESKTOP_KEEP:-}" "$@"
}

# session_begin NAME: private runtime folder, a session bus, the teardown on exit.
session_begin() {
    export ZENTIMO_DESKTOP=$1
    SESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/zentimo-desktop-$1.XXXXXX")
    export XDG_RUNTIME_DIR=$SESSION_DIR/run XDG_CONFIG_HOME=$SESSION_DIR/config XDG_CACHE_HOME=$SESSION_DIR/cache
    export XDG_DATA_HOME=$SESSION_DIR/data XDG_STATE_HOME=$SESSION_DIR/state
    mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset DISPLAY WAYLAND_DISPLAY XAUTHORITY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER
    export NO_AT_BRIDGE=0 GTK_A11Y=atspi QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    SESSION_PIDS=()
    trap session_end EXIT
    trap 'exit 130' INT TERM
    session_spawn dbus dbus-daemon --session --nofork --nopidfile --address="unix:path=$XDG_RUNTIME_DIR/bus"
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
    session_wait 20 "the session bus" bus_call --session GetId
}

# bus_call --session|--system METHOD ARGS...: a method of the bus itself.
bus_call() { dbus-send "$1" --dest=org.freedesktop.DBus --print-reply /org/freedesktop/DBus "org.freedesktop.DBus.$2" "${@:3}"; }

# session_spawn NAME CMD...: in the background, in a process group of its own, output to NAME.log.
session_spawn() {
    local name=$1
    shift
    setsid "$@" >"$SESSION_DIR/$name.log" 2>&1 </dev/null &
    SESSION_PIDS+=($!)
}

# session_wait SECONDS WHAT CMD...: until CMD succeeds; gives up (status 125) when it never does.
session_wait() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        if [ $SECONDS -ge $deadline ]; then
            echo "session $ZENTIMO_DESKTOP: no $what after ${seconds}s; logs in $SESSION_DIR" >&2
            tail -n 20 "$SESSION_DIR"/*.log >&2
            DESKTOP_KEEP=1
            exit 125
        fi
        sleep 0.2
    done
}

session_has_tray() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher --method \
        org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher IsStatusNotifierHostRegistered | grep -q true
}
session_has_notifications() { bus_call --session NameHasOwner string:org.freedesktop.Notifications | grep -q true; }

# session_run CMD...: once the desktop's tray host and notification server are there, runs the tests inside;
# the script's status is theirs.
session_run() {
    session_wait 60 "tray (StatusNotifierItem host)" session_has_tray
    session_wait 60 "notification server" session_has_notifications
    echo "session $ZENTIMO_DESKTOP ready: DISPLAY=${DISPLAY:-} WAYLAND_DISPLAY=${WAYLAND_DISPLAY:-}"
    local status=0
    "$@" || status=$?
    [ $status -eq 0 ] || DESKTOP_KEEP=1
    [ $status -eq 0 ] || echo "session $ZENTIMO_DESKTOP: the desktop's logs are kept in $SESSION_DIR" >&2
    exit $status
}

# Every process the session started, by process id: those in the process sessions it spawned, and those whose
# environment names its runtime folder (which finds those that left their session, as sway's `exec` does).
session_processes() {
    { ps -e -o pid=,sid= | awk -v s=" ${SESSION_PIDS[*]} " 'index(s, " " $2 " ") { print $1 }'
        grep -lzxF "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3; } |
        grep -vx "$$" | sort -un
}

session_end() {
    local status=$? pids bus=${SESSION_PIDS[0]:-}
    trap - EXIT
    pids=$(session_processes || true)
    # The session bus last: the desktop's parts leave cleanly while it is still there.
    kill -TERM $(grep -vx "$bus" <<<"$pids") 2>/dev/null || true
    [ -z "$bus" ] || kill -TERM "$bus" 2>/dev/null || true
    local deadline=$((SECONDS + 5))
    for p in $pids; do
        while kill -0 "$p" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
        kill -KILL "$p" 2>/dev/null || true
    done
    [ -n "${DESKTOP_KEEP:-}" ] || rm -rf "$SESSION_DIR"
    exit $status
}
