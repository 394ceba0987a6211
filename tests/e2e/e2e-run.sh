#!/usr/bin/env bash
# Runs a test program with private servers around it, and stops them after.
#
#   e2e-run.sh [--x] [--pulse | --microphone | --no-pulse] -- PROGRAM [ARGS...]
#
#   --x           a private X server with the Spanish keyboard (DISPLAY set,
#                 QT_QPA_PLATFORM=xcb)
#   --pulse       a private sound server with a null sink (PULSE_SERVER and
#                 E2E_SINK set)
#   --microphone  the same, and the sink's monitor feeds the default input:
#                 what is played into the sink is what the microphone hears
#                 (E2E_MICROPHONE, the input's name, set too)
#   --no-pulse    PULSE_SERVER points at a socket nobody serves
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=e2e-lib.sh
source "$here/e2e-lib.sh"

want_x="" sound=""
while [ $# -gt 0 ]; do
    case "$1" in
    --x) want_x=1 ;;
    --pulse) sound=pulse ;;
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
case "$sound" in
pulse) e2e_start_pulse ;;
microphone)
    e2e_start_pulse
    # Qt lists no monitor among the inputs: a source of its own, fed by the
    # monitor, stands for the microphone.
    E2E_MICROPHONE=letro_microfono
    pactl load-module module-remap-source master="$E2E_SINK.monitor" \
        source_name="$E2E_MICROPHONE" channels=1 >/dev/null ||
        e2e_fail "cannot make an input of the monitor"
    pactl set-default-source "$E2E_MICROPHONE" || e2e_fail "cannot make it the default input"
    export E2E_MICROPHONE
    ;;
none) e2e_no_pulse ;;
esac
export E2E_TMP

status=0
"$@" || status=$?
exit "$status"
