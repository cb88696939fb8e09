#!/usr/bin/env bash
# KDE Plasma 5.27 headless: KWin on Wayland (a virtual output, XWayland) with plasmashell, its system tray
# (kded5's StatusNotifierWatcher) and its notification server. session_kde.sh CMD... runs CMD inside and exits
# with its status.
. "$(dirname "$0")/session_lib.sh"
session_as_user "$0" "$@"
session_begin kde

export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5
# KWin lets the probe's executable (python3) take screenshots when its desktop entry lists the interface; ours
# takes the name of Python's own entry, which it must shadow (KWin would ask either).
export KWIN_WAYLAND_NO_PERMISSION_CHECKS=1
python=$(readlink -f /usr/bin/python3)
mkdir -p "$XDG_DATA_HOME/applications"
cat >"$XDG_DATA_HOME/applications/$(basename "$python").desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Desktop test probe
Exec=$python
X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2
DESKTOP
# KWin looks the entry up in the service cache: built now, before anyone reads a cache without it.
kbuildsycoca5 --noincremental >"$SESSION_DIR/sycoca.log" 2>&1
# A plain copy: the file capabilities (CAP_SYS_NICE) of /usr/bin/kwin_wayland a container refuses to grant.
cp /usr/bin/kwin_wayland "$SESSION_DIR/kwin_wayland"
# KWin starts the shell's parts once XWayland is up; their DISPLAY and XAUTHORITY are the tests'.
cat >"$SESSION_DIR/plasma.sh" <<'SH'
#!/bin/sh
printf 'DISPLAY=%s\nXAUTHORITY=%s\nWAYLAND_DISPLAY=%s\n' "$DISPLAY" "$XAUTHORITY" "$WAYLAND_DISPLAY" >"$1.tmp"
mv "$1.tmp" "$1"
kded5 >"$2/kded.log" 2>&1 &
/usr/lib/x86_64-linux-gnu/libexec/kactivitymanagerd >"$2/activities.log" 2>&1 &
exec plasmashell --no-respawn >"$2/plasmashell.log" 2>&1
SH
chmod +x "$SESSION_DIR/plasma.sh"
session_spawn kwin "$SESSION_DIR/kwin_wayland" --virtual --xwayland --width 1280 --height 800 --socket wayland-0 \
    "$SESSION_DIR/plasma.sh $SESSION_DIR/display.env $SESSION_DIR"
session_wait 60 "KWin with XWayland" test -s "$SESSION_DIR/display.env"
export $(cat "$SESSION_DIR/display.env")  # the values hold no spaces
session_run "$@"
