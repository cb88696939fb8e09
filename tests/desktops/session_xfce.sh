#!/usr/bin/env bash
# Xfce on Xvfb: xfwm4, xfce4-panel with its notification area (StatusNotifierItems and XEmbed), xfce4-notifyd.
# session_xfce.sh CMD... runs CMD inside and exits with its status.
. "$(dirname "$0")/session_lib.sh"
session_as_user "$0" "$@"
session_begin xfce

# Xvfb takes a display that nothing holds, neither lock nor socket, and names it. Without -noreset it resets when
# its last client leaves, and refuses whoever connects meanwhile: the window manager, right after the probe.
exec 3>"$SESSION_DIR/displayfd"
session_spawn xvfb Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -ac -noreset
exec 3>&-
session_wait 10 "X server of its own" test -s "$SESSION_DIR/displayfd"
export DISPLAY=:$(head -n1 "$SESSION_DIR/displayfd")
session_wait 10 "X server answering" xdpyinfo

mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
cp "$here/xfce/xfce4-panel.xml" "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/"
session_spawn xfwm4 xfwm4 --compositor=off
session_wait 30 "window manager" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
session_spawn notifyd /usr/lib/x86_64-linux-gnu/xfce4/notifyd/xfce4-notifyd
session_spawn panel xfce4-panel --disable-wm-check
session_wait 30 "panel" sh -c 'xwininfo -root -tree | grep -q "\"xfce4-panel\": (\"xfce4-panel\""'
session_run "$@"
