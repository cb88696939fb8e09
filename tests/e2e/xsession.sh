#!/usr/bin/env bash
# One X server with a window manager and a tray for the whole end-to-end run. "xsession.sh start STATEDIR"
# starts Xvfb + icewm and writes STATEDIR/display; "xsession.sh stop STATEDIR" ends them.
set -euo pipefail
state=$2
mkdir -p "$state"

case "$1" in
start)
    "$0" stop "$state" >/dev/null 2>&1 || true
    # Xvfb picks a free display and never resets (a reset refuses connections while it lasts); icewm must come
    # up with its tray, or the whole start is tried again.
    for attempt in 1 2 3; do
        rm -f "$state/displayfd"
        exec 3>"$state/displayfd"
        setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -ac -noreset >"$state/xvfb.log" 2>&1 &
        echo $! >"$state/xvfb.pid"
        exec 3>&-
        for _ in $(seq 100); do
            [ -s "$state/displayfd" ] && break
            sleep 0.05
        done
        display=":$(head -n1 "$state/displayfd" 2>/dev/null)"
        echo "$display" >"$state/display"
        mkdir -p "$state/icewm"
        printf 'ShowTaskBar=1\nTaskBarShowTray=1\n' >"$state/icewm/preferences"
        DISPLAY=$display ICEWM_PRIVCFG="$state/icewm" setsid icewm >"$state/icewm.log" 2>&1 &
        echo $! >"$state/icewm.pid"
        for _ in $(seq 100); do
            if kill -0 "$(cat "$state/icewm.pid")" 2>/dev/null &&
                DISPLAY=$display xwininfo -root -tree 2>/dev/null | grep -q '"SystemTray"'; then
                echo "X server on $display"
                exit 0
            fi
            sleep 0.1
        done
        echo "attempt $attempt: no window manager with a tray on $display" >&2
        "$0" stop "$state" >/dev/null 2>&1 || true
    done
    exit 1
    ;;
stop)
    for p in icewm xvfb; do
        kill "$(cat "$state/$p.pid" 2>/dev/null)" 2>/dev/null || true
        rm -f "$state/$p.pid"
    done
    ;;
esac
