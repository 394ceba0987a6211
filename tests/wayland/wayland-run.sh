#!/usr/bin/env bash
# Runs a test program as a native Wayland client of a private, headless sway
# compositor, and stops the compositor after.
#
#   wayland-run.sh [--xwayland] -- PROGRAM [ARGS...]
#
# The program gets QT_QPA_PLATFORM=wayland, WAYLAND_DISPLAY and SWAYSOCK (for
# swaymsg), a 1280x1024 output, a keyboard (type with wtype -s 50 ...), no X
# server and no sound server. sway refuses to run as root:
# under root it runs as the ordinary user letro-wayland, made if missing; the
# clients stay root's, which may use its sockets.
#
# With --xwayland the compositor runs Xwayland too: E2E_XDISPLAY names its
# display, which admits only the compositor's user, E2E_SWAY_USER; X11
# clients run as that user (the sway-lib.sh helper as_compositor_user).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=../e2e/e2e-lib.sh
source "$here/../e2e/e2e-lib.sh"

xwayland=disable
[ "${1:-}" = --xwayland ] && { xwayland=enable; shift; }
[ "${1:-}" = -- ] && shift
[ $# -gt 0 ] || e2e_fail "no program to run"
e2e_require sway swaymsg wtype setpriv

e2e_init
export E2E_TMP
e2e_compositor_folder sway
# Xwayland's socket goes into the system's X11 socket folder, which only root
# may make as the X servers want it.
if [ "$xwayland" = enable ] && [ ! -d /tmp/.X11-unix ] && [ "$(id -u)" -eq 0 ]; then
    mkdir -p -m 1777 /tmp/.X11-unix
fi
cat >"$run/config" <<EOF
output HEADLESS-1 mode 1280x1024 position 0 0
focus_follows_mouse no
xwayland $xwayland
EOF
chown -R "$owner" "$run"

# "${as_owner[@]}" is empty when this script is not root's.
"${as_owner[@]}" env -i PATH=/usr/bin:/bin HOME="$run" XDG_RUNTIME_DIR="$run" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 XKB_DEFAULT_LAYOUT=es \
    sway --config "$run/config" >"$E2E_TMP/sway.log" 2>&1 &
e2e_track $!

socket="" ipc=""
for _ in $(seq 100); do
    socket="$(find "$run" -maxdepth 1 -type s -name 'wayland-*' | head -n 1)"
    ipc="$(find "$run" -maxdepth 1 -type s -name 'sway-ipc.*' | head -n 1)"
    if [ -n "$socket" ] && [ -n "$ipc" ] && swaymsg -s "$ipc" -t get_version >/dev/null 2>&1; then
        break
    fi
    ipc=""
    sleep 0.1
done
[ -n "$ipc" ] || { cat "$E2E_TMP/sway.log" >&2; e2e_fail "sway did not start"; }
swaymsg -s "$ipc" -t get_outputs -r | grep -q '"width": 1280' ||
    e2e_fail "the output is not 1280 pixels wide"

if [ "$xwayland" = enable ]; then
    e2e_require Xwayland xdotool xprop xwininfo
    # On one line and without ";": both end a command of sway's.
    swaymsg -s "$ipc" 'exec printf %s "$DISPLAY" >"$XDG_RUNTIME_DIR/d.new" && mv "$XDG_RUNTIME_DIR/d.new" "$XDG_RUNTIME_DIR/display"' >/dev/null ||
        e2e_fail "sway did not run a command"
    for _ in $(seq 100); do
        [ -s "$run/display" ] && break
        sleep 0.1
    done
    E2E_XDISPLAY="$(cat "$run/display" 2>/dev/null)"
    [ -n "$E2E_XDISPLAY" ] || e2e_fail "sway names no X display"
    export E2E_XDISPLAY E2E_SWAY_USER="$owner" E2E_SWAY_RUN="$run"
fi

# The clients: root's own runtime folder, the compositor's socket by its path.
mkdir -m 700 "$E2E_TMP/client"
export XDG_RUNTIME_DIR="$E2E_TMP/client" WAYLAND_DISPLAY="$socket" SWAYSOCK="$ipc"
export QT_QPA_PLATFORM=wayland
unset DISPLAY XAUTHORITY
# No sound server: the sounds are silent, and no client starts one.
e2e_no_pulse

# A keyboard that stays for the whole run, so that the windows keep the
# keyboard focus between the short-lived keyboards of each wtype.
wtype -s 3600000 &
e2e_track $!

status=0
"$@" || status=$?
exit "$status"
