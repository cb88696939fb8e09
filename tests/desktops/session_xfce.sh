#!/usr/bin/env bash
# Xfce on Xvfb: xfwm4, xfce4-panel with its notification area (StatusNotifierItems and XEmbed), xfce4-notifyd.
# session_xfce.sh CMD... runs CMD inside and exits with its status.
. "$(dirname "$0")/session_lib.sh"
session_as_user "$0" "$@"
session_begin xfce

# A display number nothing holds, neither lock nor socket (a rootless XWayland of another session may hold
# only the socket); the server is ours when its lock file names it.
for attempt in $(seq 10); do
    n=$((10 + RANDOM % 80))
    [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] || continue
    session_spawn xvfb Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -ac
    export DISPLAY=:$n
    deadline=$((SECONDS + 10))
    until [ "$(tr -d " " 2>/dev/null <"/tmp/.X$n-lock")" = "${SESSION_PIDS[-1]}" ] && xdpyinfo >/dev/null 2>&1; do
        kill -0 "${SESSION_PIDS[-1]}" 2>/dev/null && [ $SECONDS -lt $deadline ] || continue 2
        sleep 0.05
    done
    break
done
session_wait 1 "X server of its own" xdpyinfo

mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
cp "$here/xfce/xfce4-panel.xml" "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/"
session_spawn xfwm4 xfwm4 --compositor=off
session_wait 30 "window manager" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
session_spawn notifyd /usr/lib/x86_64-linux-gnu/xfce4/notifyd/xfce4-notifyd
session_spawn panel xfce4-panel --disable-wm-check
session_wait 30 "panel" sh -c 'xwininfo -root -tree | grep -q "\"xfce4-panel\": (\"xfce4-panel\""'
session_run "$@"
