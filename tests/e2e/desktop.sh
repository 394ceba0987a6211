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
# With the window manager, also: each title bar shows its title whole, the
# accent pad's too, and offers no maximise action; and the "Fin del
# ejercicio" box, also titled in full, leaves the typed word, the counters,
# the verdict and the tallies in view.
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

# The pupil's results (and any class list) in a data folder of the test's own.
XDG_DATA_HOME="$E2E_TMP/data" "$program" >"$E2E_TMP/letro.log" 2>&1 &
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

# With the window manager: the title whole, and no maximise action offered.
title_bar() {
    [ "$mode" = wm ] || return 0
    e2e_title_whole "$1" "$2"
    xprop -id "$1" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE &&
        e2e_fail "the window manager offers to maximise \"$2\""
    echo "ok: \"$2\" cannot be maximised"
}
title_bar "$intro" "Letro 1.0 - @EL "

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

if [ "$mode" = wm ]; then
    title_bar "$main" "Letro 1.0 - letro@example.org"

    xdotool key F2
    e2e_title_whole "$(e2e_wait_for_window '^Acentos$')" "Acentos"
    xdotool key F2

    # The first word, typed after the fountain pen (Command5: twips 3840,
    # 120, 735, 735) on Xvfb's own (US) keyboard.
    word="$(head -n 1 "${LETRO_PROGRAM_DIR:?}/Palabras/1" | tr -d '\r')"
    [[ "$word" =~ ^[a-z]+$ ]] || e2e_fail "the first word \"$word\" is not typeable on a US keyboard"
    xdotool mousemove --window "$main" --sync $((256 + 49 / 2)) $((8 + 49 / 2)) click 1
    xdotool type --delay 80 "$word"
    box="$(e2e_wait_for_window '^Letro$')"
    e2e_title_whole "$box" "Letro"
    # Kept in view: the main window's client area down to the tallies'
    # bottom edge (Command9: twips 4320 + 375).
    read -r bx by bw bh <<<"$(e2e_outer_geometry "$box")"
    read -r mx my <<<"$(xwininfo -id "$main" | awk '/Absolute upper-left X/ {x = $NF}
        /Absolute upper-left Y/ {y = $NF} END {print x, y}')"
    kept_bottom=$((my + 4695 / 15))
    [ "$by" -gt "$kept_bottom" ] || [ $((by + bh)) -le "$my" ] ||
        e2e_fail "the box (${bw}x$bh at $bx,$by) covers the main window's top (at $mx,$my) down to $kept_bottom"
    echo "ok: \"Fin del ejercicio\" (${bw}x$bh at $bx,$by) leaves the window down to $kept_bottom in view"
    xdotool key Return
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name '^Letro$' >/dev/null 2>&1 || break
        sleep 0.1
    done
fi

"${X11CLOSE:?}" "$main"
exit 0
