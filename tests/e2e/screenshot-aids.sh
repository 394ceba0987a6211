#!/usr/bin/env bash
# Makes the pictures of the README's "Ayudas" section, in a window manager's
# frames (openbox) on the US keyboard layout:
#   docs/ayudas-acentos.png  the main window in the middle of the short
#                            sentence "¿Dónde está mi lápiz?", typed with the
#                            accent pad beside it
#   docs/ayudas-ayuda.png    the help window (F1)
# Not a test; run it by hand after a build:
#
#   tests/e2e/screenshot-aids.sh [BUILD-DIR]        (default: build)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=e2e-lib.sh
source "$here/e2e-lib.sh"

e2e_picture_desktop "${1:-}" letro us
e2e_start_program letro

# "left top right bottom" of a window with its frame, in pixels.
outer_box() {
    local x y w h
    read -r x y w h <<<"$(e2e_outer_geometry "$1")"
    echo "$x" "$y" $((x + w)) $((y + h))
}

intro="$(e2e_wait_for_window '^Letro 1\.0 - @EL $')"
# CONTINUAR: twips 960, 5040, 4455, 615.
e2e_click_in "$intro" $((64 + 297 / 2)) $((336 + 41 / 2))
main="$(e2e_wait_for_window '^Letro 1\.0 - letro@example\.org$')"
sleep 0.5

# The number of that sentence among the short ones (saved as UTF-8 or
# Windows-1252).
sentence='¿Dónde está mi lápiz?'
number="$(cd "$E2E_BUILD/program/Frase corta" &&
    grep -l -F -e "$sentence" -e "$(iconv -f utf-8 -t windows-1252 <<<"$sentence")" \
        --exclude='*.wav' -- * 2>/dev/null | head -n 1)" || true
[ -n "$number" ] || e2e_fail "no short sentence \"$sentence\""

# "Frase corta" (Command4(1): twips 120, 1920, 855, 855), the number typed
# into the number box (Text1: twips 1920, 240, 975, 495), then the fountain
# pen (Command5: twips 3840, 120, 735, 735).
e2e_click_in "$main" $((8 + 57 / 2)) $((128 + 57 / 2))
e2e_click_in "$main" $((128 + 65 / 2)) $((16 + 33 / 2))
xdotool type --delay 100 "$number"
sleep 0.5
e2e_click_in "$main" $((256 + 49 / 2)) $((8 + 49 / 2))

xdotool key F2
pad="$(e2e_wait_for_window '^Acentos$')"
sleep 0.5
# A pad button: row and column of the pad's grid (four buttons 48 x 36 a
# row, 3 apart, margin 6: 213 pixels wide), the grid centred in the pad.
pad_width="$(xwininfo -id "$pad" | awk '/^ *Width:/ {print $NF}')"
pad_left=$(((pad_width - 213) / 2))
pad_key() {
    xdotool mousemove --window "$pad" --sync $((pad_left + 6 + $2 * 51 + 24)) \
        $((6 + $1 * 39 + 18)) click 1
    sleep 0.2
}
pad_key 3 2 # ¿
xdotool type --delay 120 D
pad_key 1 2 # ó
xdotool type --delay 120 "nde est"
xdotool key --delay 120 a # wrong: "está" wants á
pad_key 0 0                 # á, magenta now
xdotool type --delay 120 " mi l"
xdotool key --delay 120 a # wrong again, left standing in red
xdotool mousemove 5 5
sleep 0.8

read -r ml mt mr mb <<<"$(outer_box "$main")"
read -r pl pt pr pb <<<"$(outer_box "$pad")"
left=$((ml < pl ? ml : pl)) top=$((mt < pt ? mt : pt))
right=$((mr > pr ? mr : pr)) bottom=$((mb > pb ? mb : pb))
"$E2E_IMPORT" -window root -crop "$((right - left))x$((bottom - top))+$left+$top" "$E2E_TMP/pad.png"
"$E2E_CONVERT" "$E2E_TMP/pad.png" +repage -bordercolor white -border 12 -colors 128 -strip \
    "PNG8:$E2E_ROOT/docs/ayudas-acentos.png"
echo "wrote docs/ayudas-acentos.png"

xdotool windowfocus --sync "$main"
xdotool key F1
help="$(e2e_wait_for_window '^Ayuda de Letro$')"
sleep 0.8
"$E2E_IMPORT" -frame -window "$help" "$E2E_TMP/help.png"
"$E2E_CONVERT" "$E2E_TMP/help.png" -bordercolor white -border 12 -colors 128 -strip \
    "PNG8:$E2E_ROOT/docs/ayudas-ayuda.png"
echo "wrote docs/ayudas-ayuda.png"
"$E2E_CLOSER" "$main" || true
