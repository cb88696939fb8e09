#!/usr/bin/env bash
# Xfce on Xvfb: xfwm4, xfce4-panel with its notification area (StatusNotifierItems and XEmbed), xfce4-notifyd.
# session_xfce.sh CMD... runs CMD inside and exits with its status.
. "$(dirname "$0")/session_lib.sh"
session_as_user "$0" "$@"
session_begin xfce

# Xvfb picks a free display; a server that lost the race for its number does not answer, and is tried again.
for attempt in 1 2 3; do
    exec 3>"$SESSION_DIR/displayfd"
    session_spawn xvfb Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -ac
    exec 3>&-
    deadline=$((SECONDS + 10))
    until [ -s "$SESSION_DIR/displayfd" ] || [ $SECONDS -ge $deadline ]; do sleep 0.05; done
    export DISPLAY=":$(head -n1 "$SESSION_DIR/displayfd")"
    sleep 0.5  # a server that lost the race for its number ends at once
    kill -0 "${SESSION_PIDS[-1]}" 2>/dev/null && xdpyinfo >/dev/null 2>&1 && break
    [ $attempt -lt 3 ] || session_wait 1 "X server" false
done

mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
cp "$here/xfce/xfce4-panel.xml" "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/"
session_spawn xfwm4 xfwm4 --compositor=off
session_wait 30 "window manager" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
session_spawn notifyd /usr/lib/x86_64-linux-gnu/xfce4/notifyd/xfce4-notifyd
session_spawn panel xfce4-panel --disable-wm-check
session_wait 30 "notification area (StatusNotifierItem host)" python3 -c '
import sys; sys.path.insert(0, sys.argv[1]); import desktop
sys.exit(not desktop.prop("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
         "org.kde.StatusNotifierWatcher", "IsStatusNotifierHostRegistered"))' "$here"
session_wait 30 "notification area (XEmbed)" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null &&
    xdotool search --classname xfce4-panel >/dev/null && xwininfo -root -tree | grep -q "xfce4-panel"'
session_wait 30 "notification server" session_has_name org.freedesktop.Notifications
session_run "$@"
