#!/usr/bin/env bash
# The real program under a private X server, driven as a pupil would.
#
#   startup.sh continue      the introduction window, CONTINUAR, the main
#                            window; the loudspeaker really plays exercise 1;
#                            closing the main window ends the program with 0
#   startup.sh close-intro   closing the introduction window before CONTINUAR
#                            ends the program with 0
#
# Needs LETRO_PROGRAM_DIR (the built program folder), X11CLOSE (the helper
# that sends WM_DELETE_WINDOW) and E2E_CAPTURE (the sound recorder).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=e2e-lib.sh
source "$here/e2e-lib.sh"

mode="${1:?usage: startup.sh continue|close-intro}"
program="${LETRO_PROGRAM_DIR:?}/letro"
closer="${X11CLOSE:?}"
[ -x "$program" ] || e2e_fail "no program at $program"
[ -x "$closer" ] || e2e_fail "no helper at $closer"

INTRO_TITLE='^Letro 1\.0 - @EL $'
MAIN_TITLE='^Letro 1\.0 - letro@example\.org$'

e2e_init
e2e_start_xvfb
if [ "$mode" = continue ]; then
    e2e_start_pulse
else
    e2e_no_pulse
fi

# True while a window (mapped or not) has a matching title.
window_exists() {
    xdotool search --name "$1" >/dev/null 2>&1
}

# Waits up to $2 seconds for the program to end and checks its exit status.
expect_exit_zero() {
    local limit_tenths=$(($2 * 10)) status=0
    for ((i = 0; i < limit_tenths; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && e2e_fail "$1: the program is still running after $2 s"
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || { cat "$E2E_TMP/letro.log" >&2; e2e_fail "$1: exit status $status, not 0"; }
    echo "ok: $1: the program ended with status 0"
}

# Clicks at a point given in pixels of a window's client area.
click_in() {
    xdotool mousemove --window "$1" --sync "$2" "$3" click 1
}

started=$(date +%s%N)
# The pupil's results (and any class list) in a data folder of the test's own.
XDG_DATA_HOME="$E2E_TMP/data" "$program" >"$E2E_TMP/letro.log" 2>&1 &
pid=$!
e2e_track "$pid"

intro="$(e2e_wait_for_window "$INTRO_TITLE")"
echo "ok: the introduction window is up after $((($(date +%s%N) - started) / 1000000)) ms"
window_exists "$MAIN_TITLE" && e2e_fail "the main window exists before CONTINUAR"

case "$mode" in
continue)
    # CONTINUAR: twips 960, 5040, 4455, 615 = pixels 64, 336, 297, 41.
    click_in "$intro" $((64 + 297 / 2)) $((336 + 41 / 2))
    main="$(e2e_wait_for_window "$MAIN_TITLE")"
    echo "ok: CONTINUAR opened the main window"
    for _ in $(seq 50); do
        window_exists "$INTRO_TITLE" || break
        sleep 0.1
    done
    window_exists "$INTRO_TITLE" && e2e_fail "the introduction window is still there"
    echo "ok: the introduction window is gone"
    sleep 1
    kill -0 "$pid" 2>/dev/null || e2e_fail "the program ended after CONTINUAR"
    echo "ok: the program still runs 1 s later"

    # The loudspeaker (Command1: twips 4680, 120, 735, 735) plays exercise 1
    # of "Palabras", and the sound server really receives it.
    recording="$LETRO_PROGRAM_DIR/Palabras/1.wav"
    [ -f "$recording" ] || e2e_fail "no recording $recording"
    capture="$E2E_TMP/capture.raw"
    "${E2E_CAPTURE:?}" "$capture" "$E2E_TMP/capture.ready" &
    capturer=$!
    e2e_track "$capturer"
    for _ in $(seq 150); do
        [ -e "$E2E_TMP/capture.ready" ] && break
        sleep 0.1
    done
    [ -e "$E2E_TMP/capture.ready" ] || e2e_fail "the recorder did not start"
    click_in "$main" $((312 + 49 / 2)) $((8 + 49 / 2))
    wait "$capturer" || e2e_fail "the loudspeaker was not heard"
    heard="$(e2e_sound_length "$capture")"
    # The recording's own sound, without its silent ends, is the yardstick.
    own="$(sox "$recording" -n silence 1 0.01 1% reverse silence 1 0.01 1% reverse stat 2>&1 |
        awk '/^Length/ {print $3}')"
    awk -v h="$heard" -v o="$own" 'BEGIN { exit !(o > 0 && h >= 0.8 * o && h <= 1.2 * o) }' ||
        e2e_fail "the loudspeaker played ${heard} s of sound; the recording has ${own} s"
    echo "ok: the loudspeaker played ${heard} s of sound (the recording has ${own} s)"

    kill -0 "$pid" 2>/dev/null || e2e_fail "the program ended while playing"
    "$closer" "$main"
    expect_exit_zero "closing the main window" 5
    ;;
close-intro)
    sleep 0.5
    "$closer" "$intro"
    expect_exit_zero "closing the introduction window" 5
    window_exists "$MAIN_TITLE" && e2e_fail "the main window was opened"
    ;;
*)
    e2e_fail "unknown mode $mode"
    ;;
esac
exit 0
