#!/usr/bin/env bash
# Runs an editor test with private servers around it, and stops them after.
#
#   editor-run.sh [--x] [--openbox] [--microphone | --no-pulse] -- PROGRAM [ARGS...]
#
#   --x           a private X server with the Spanish keyboard
#   --openbox     the window manager openbox on it
#   --microphone  a private sound server whose null sink's monitor is the
#                 default input: what is played into the sink is what the
#                 microphone hears (PULSE_SERVER, E2E_SINK and E2E_MICROPHONE,
#                 the input's name, set)
#   --no-pulse    PULSE_SERVER points at a socket nobody serves
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=../e2e/e2e-lib.sh
source "$here/../e2e/e2e-lib.sh"

want_x="" want_wm="" sound=""
while [ $# -gt 0 ]; do
    case "$1" in
    --x) want_x=1 ;;
    --openbox) want_wm=1 ;;
    --microphone) sound=microphone ;;
    --no-pulse) sound=none ;;
    --) shift; break ;;
    *) e2e_fail "unknown option $1" ;;
    esac
    shift
done
[ $# -gt 0 ] || e2e_fail "no program to run"

e2e_init
if [ -n "$want_x" ]; then
    e2e_start_xvfb
    e2e_spanish_keyboard
fi
if [ -n "$want_wm" ]; then
    e2e_require openbox xprop
    openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    e2e_track $!
    # The window manager is up once it has named itself on the root window.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
        { cat "$E2E_TMP/openbox.log" >&2; e2e_fail "openbox did not start"; }
fi
case "$sound" in
microphone)
    e2e_start_pulse
    # Qt lists no monitor among the inputs: a source of its own, fed by the
    # monitor, stands for the microphone.
    E2E_MICROPHONE=letro_microfono
    pactl load-module module-remap-source master="$E2E_SINK.monitor" \
        source_name="$E2E_MICROPHONE" channels=1 >/dev/null ||
        e2e_fail "cannot make an input of the monitor"
    pactl set-default-source "$E2E_MICROPHONE" || e2e_fail "cannot make the monitor the input"
    export E2E_MICROPHONE
    ;;
none) e2e_no_pulse ;;
esac
export E2E_TMP

status=0
"$@" || status=$?
exit "$status"
