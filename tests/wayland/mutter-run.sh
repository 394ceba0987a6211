#!/usr/bin/env bash
# Runs a test program as a native Wayland client of a private, headless
# mutter (GNOME's compositor), and stops the compositor after.
#
#   mutter-run.sh -- PROGRAM [ARGS...]
#
# The program gets QT_QPA_PLATFORM=wayland, WAYLAND_DISPLAY,
# LETRO_COMPOSITOR=mutter, a 1280x1024 virtual monitor, no X server and no
# sound server. mutter refuses to run as root: under root it runs as the
# ordinary user letro-wayland, made if missing; the clients stay root's,
# which may use its socket.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=../e2e/e2e-lib.sh
source "$here/../e2e/e2e-lib.sh"

[ "${1:-}" = -- ] && shift
[ $# -gt 0 ] || e2e_fail "no program to run"
e2e_require mutter dbus-run-session setpriv

e2e_init
export E2E_TMP
e2e_compositor_folder mutter
chown -R "$owner" "$run"

# "${as_owner[@]}" is empty when this script is not root's. mutter wants a
# session bus: one of its own, whose daemon goes with it.
as_compositor() {
    "${as_owner[@]}" env -i PATH=/usr/bin:/bin HOME="$run" XDG_RUNTIME_DIR="$run" \
        XKB_DEFAULT_LAYOUT=es GSETTINGS_BACKEND=memory "$@"
}
bus="$(as_compositor dbus-daemon --session --fork --nopidfile --print-pid --print-address)" ||
    e2e_fail "no session bus for mutter"
e2e_track "$(sed -n 2p <<<"$bus")"
as_compositor DBUS_SESSION_BUS_ADDRESS="$(sed -n 1p <<<"$bus")" \
    mutter --headless --wayland --no-x11 --virtual-monitor 1280x1024 \
    --wayland-display letro-mutter >"$E2E_TMP/mutter.log" 2>&1 &
e2e_track $!

socket="$run/letro-mutter"
for _ in $(seq 200); do
    [ -S "$socket" ] && grep -q 'Using Wayland display name' "$E2E_TMP/mutter.log" && break
    sleep 0.1
done
[ -S "$socket" ] || { cat "$E2E_TMP/mutter.log" >&2; e2e_fail "mutter did not start"; }

# The clients: root's own runtime folder, the compositor's socket by its path.
mkdir -m 700 "$E2E_TMP/client"
export XDG_RUNTIME_DIR="$E2E_TMP/client" WAYLAND_DISPLAY="$socket" LETRO_COMPOSITOR=mutter
export QT_QPA_PLATFORM=wayland
unset DISPLAY XAUTHORITY
# No sound server: the sounds are silent, and no client starts one.
e2e_no_pulse

status=0
"$@" || status=$?
[ "$status" -eq 0 ] || { echo "== mutter's log" >&2; cat "$E2E_TMP/mutter.log" >&2; }
exit "$status"
