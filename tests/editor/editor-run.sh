#!/usr/bin/env bash
# Runs a microphone test with a private sound server around it, and stops it
# after.
#
#   editor-run.sh --microphone | --no-pulse -- PROGRAM [ARGS...]
#
#   --microphone  a private sound server whose null sink's monitor feeds the
#                 default input: what is played into the sink is what the
#                 microphone hears (PULSE_SERVER, E2E_SINK and E2E_MICROPHONE,
#                 the input's name, set)
#   --no-pulse    PULSE_SERVER points at a socket nobody serves
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=../e2e/e2e-lib.sh
source "$here/../e2e/e2e-lib.sh"

sound=""
while [ $# -gt 0 ]; do
    case "$1" in
    --microphone) sound=microphone ;;
    --no-pulse) sound=none ;;
    --) shift; break ;;
    *) e2e_fail "unknown option $1" ;;
    esac
    shift
done
[ $# -gt 0 ] || e2e_fail "no program to run"

e2e_init
case "$sound" in
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
