#!/usr/bin/env bash
# sway 1.7 headless with XWayland, waybar (started by `exec`: its swaybar_command does not start it) with its
# tray, and mako. session_sway.sh CMD... runs CMD inside and exits with its status.
. "$(dirname "$0")/session_lib.sh"
session_as_user "$0" "$@"
session_begin sway

export ZENTIMO_SESSION_DIR=$SESSION_DIR
cp "$here/sway/waybar.json" "$SESSION_DIR/"
export WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS=1 WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
session_spawn sway sway --config "$here/sway/config"
session_wait 30 "sway" test -s "$SESSION_DIR/sway.env"
export $(grep -E '^(WAYLAND_DISPLAY|DISPLAY|SWAYSOCK)=' "$SESSION_DIR/sway.env")  # the values hold no spaces
unset WLR_BACKENDS WLR_HEADLESS_OUTPUTS WLR_RENDERER WLR_LIBINPUT_NO_DEVICES
session_wait 30 "sway's IPC" swaymsg -t get_version
session_wait 30 "XWayland" xdpyinfo
session_run "$@"
