#!/usr/bin/env bash
# Runs a test program with private servers around it, and stops them after.
#
#   e2e-run.sh [--x] [--pulse | --no-pulse] -- PROGRAM [ARGS...]
#
#   --x          a private X server with the Spanish keyboard (DISPLAY set,
#                QT_QPA_PLATFORM=xcb)
#   --pulse      a private sound server with a null sink (PULSE_SERVER and
#                E2E_SINK set)
#   --no-pulse   PULSE_SERVER points at a socket nobody serves
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=e2e-lib.sh
source "$here/e2e-lib.sh"

want_x="" sound=""
while [ $# -gt 0 ]; do
    case "$1" in
    --x) want_x=1 ;;
    --pulse) sound=pulse ;;
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
none) e2e_no_pulse ;;
esac
export E2E_TMP

status=0
"$@" || status=$?
exit "$status"
