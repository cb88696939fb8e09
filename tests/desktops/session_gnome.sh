#!/usr/bin/env bash
# GNOME Shell 43 headless on Wayland, with XWayland, the AppIndicator extension as its tray and the shell's own
# notification server. session_gnome.sh CMD... runs CMD inside and exits with its status.
. "$(dirname "$0")/session_lib.sh"
session_as_user "$0" "$@"
session_begin gnome

# The shell wants a system bus (logind, accounts, ...); a private one with the session bus's rules is enough.
session_spawn system-bus dbus-daemon --session --nofork --nopidfile --address="unix:path=$XDG_RUNTIME_DIR/system_bus"
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/system_bus"
session_wait 20 "the system bus" bus_call --system GetId

# Settings from a key file in the private configuration folder: the two extensions on, nothing else asked.
export GSETTINGS_BACKEND=keyfile
mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings" "$XDG_DATA_HOME/gnome-shell/extensions"
cp -r "$here/gnome/zentimo-test@zentimo.example" "$XDG_DATA_HOME/gnome-shell/extensions/"
# Without a display manager the shell warns once that it cannot lock the screen; this says it already has.
touch "$XDG_DATA_HOME/gnome-shell/lock-warning-shown"
cat >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile" <<KEYS
[org/gnome/shell]
enabled-extensions=['ubuntu-appindicators@ubuntu.com', 'zentimo-test@zentimo.example']
disable-user-extensions=false
welcome-dialog-last-shown-version='999'

[org/gnome/desktop/interface]
enable-animations=false
KEYS

export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME
session_spawn shell gnome-shell --headless --wayland --virtual-monitor 1280x800

shell_eval() {
    gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell --method org.gnome.Shell.Eval "$1"
}
# Ready when the shell answers Eval (the test extension is on) and XWayland is up.
shell_started() { shell_eval 'Main.layoutManager._startingUp === false && !Main.overview.visible' | grep -q 'true, .true.'; }
xwayland_up() { ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* && shell_eval 'GLib.getenv("DISPLAY") || ""' | grep -q '":'; }
session_wait 60 "GNOME Shell (Eval)" shell_started
session_wait 30 "XWayland" xwayland_up
DISPLAY=$(shell_eval 'GLib.getenv("DISPLAY")' | sed -n 's/.*"\(:[0-9]*\)".*/\1/p')
XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* | head -n1)
export DISPLAY XAUTHORITY WAYLAND_DISPLAY=wayland-0
session_run "$@"
