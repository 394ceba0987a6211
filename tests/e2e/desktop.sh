#!/usr/bin/env bash
# The real program's windows on a desktop, as the pupil first sees them.
#
#   desktop.sh wm     with a window manager (openbox) putting frames around them
#   desktop.sh bare   on the X server alone (no frames)
#
# Checks, from the first moment each window is visible and again a while
# later (no jump): the introduction window centred by its outer size; the five
# title letters on one baseline; the main window 5215 twips high outside and
# centred; 7335 high with the record box shown and 5215 again once it is
# hidden, centred each time.
#
# Needs LETRO_PROGRAM_DIR (the built program folder) and X11CLOSE.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=e2e-lib.sh
source "$here/e2e-lib.sh"

mode="${1:?usage: desktop.sh wm|bare}"
program="${LETRO_PROGRAM_DIR:?}/letro"
[ -x "$program" ] || e2e_fail "no program at $program"
e2e_require xwininfo xprop import convert

e2e_init
e2e_start_xvfb
[ "$mode" = wm ] && e2e_start_wm
e2e_no_pulse
# The screen of e2e_start_xvfb, in twips (15 to a pixel).
SCREEN_W=$((1280 * 15)) SCREEN_H=$((1024 * 15))

# Where the centring rule puts a frame of w x h pixels, in pixels.
centred() {
    local w=$(($1 * 15)) h=$(($2 * 15))
    echo $(((SCREEN_W - w) / 2 / 15)) $(((SCREEN_H - h) / 2 / 15))
}

# check_window NAME ID HEIGHT-TWIPS|-: the outer height (within a pixel) and
# the centring (within a pixel).
check_window() {
    local name="$1" id="$2" want="$3" x y w h cx cy
    read -r x y w h <<<"$(e2e_outer_geometry "$id")"
    if [ "$want" != - ]; then
        [ $((h * 15 - want)) -le 15 ] && [ $((want - h * 15)) -le 15 ] ||
            e2e_fail "$name: outer height $((h * 15)) twips ($h px), not $want"
    fi
    read -r cx cy <<<"$(centred "$w" "$h")"
    [ $((x - cx)) -le 1 ] && [ $((cx - x)) -le 1 ] && [ $((y - cy)) -le 1 ] && [ $((cy - y)) -le 1 ] ||
        e2e_fail "$name: frame at $x,$y (${w}x$h px), the centre is $cx,$cy"
    echo "ok: $name: frame ${w}x$h px ($((h * 15)) twips high) at $x,$y, centred"
}

# The lowest row of ink under each title letter (labels 1920 + 360 i twips
# from the left, 495 wide; rows above the motto, which starts at 840 twips).
title_baselines() {
    import -window "$1" "$E2E_TMP/intro.png"
    convert "$E2E_TMP/intro.png" -crop 140x58+120+0 +repage txt:- |
        awk -F'[,: ()]+' 'NR > 1 && $2 >= 11 && $3 + $4 + $5 < 600 {
            for (i = 0; i < 5; i++) {
                c = 24.5 + 24 * i # centre of letter i, less the 120 px cropped off
                if ($1 >= c - 4 && $1 <= c + 4 && $2 > low[i]) low[i] = $2
            }
        } END {for (i = 0; i < 5; i++) printf "%d ", low[i]; print ""}'
}

"$program" >"$E2E_TMP/letro.log" 2>&1 &
e2e_track $!

intro="$(e2e_wait_for_window '^Letro 1\.0 - @EL $')"
# Desktop shells tie the window to the menu entry by its class.
entry="${LETRO_SOURCE_DIR:?}/packaging/org.example.letro.desktop"
class="$(xprop -id "$intro" WM_CLASS | sed -n 's/.*, "\(.*\)"$/\1/p')"
grep -qx "StartupWMClass=$class" "$entry" ||
    e2e_fail "the window's class \"$class\" is not the menu entry's StartupWMClass"
echo "ok: the window's class $class is the menu entry's"
check_window "introduction window at once" "$intro" -
sleep 1.5
check_window "introduction window 1.5 s later" "$intro" -
read -r -a rows <<<"$(title_baselines "$intro")"
for i in 1 2 3 4; do
    [ "${rows[i]}" -gt 20 ] || e2e_fail "no ink found under title letter $i (${rows[*]})"
    # Round letters ("e", "o") may dip a pixel below the line.
    [ $((rows[i] - rows[0])) -le 1 ] && [ $((rows[0] - rows[i])) -le 1 ] ||
        e2e_fail "title letters on different baselines: lowest rows ${rows[*]}"
done
echo "ok: the title letters share one baseline (lowest rows ${rows[*]})"

# CONTINUAR: twips 960, 5040, 4455, 615 = pixels 64, 336, 297, 41.
xdotool mousemove --window "$intro" --sync $((64 + 297 / 2)) $((336 + 41 / 2)) click 1
main="$(e2e_wait_for_window '^Letro 1\.0 - letro@example\.org$')"
check_window "main window at once" "$main" 5215
sleep 1.5
check_window "main window 1.5 s later" "$main" 5215

# The open book (Command2: twips 6360, 120, 735, 735) shows, then hides the
# record box.
xdotool mousemove --window "$main" --sync $((424 + 49 / 2)) $((8 + 49 / 2)) click 1
sleep 1
check_window "main window with the record box" "$main" 7335
xdotool mousemove --window "$main" --sync $((424 + 49 / 2)) $((8 + 49 / 2)) click 1
sleep 1
check_window "main window with the record box hidden again" "$main" 5215

"${X11CLOSE:?}" "$main"
exit 0
