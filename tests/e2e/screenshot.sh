#!/usr/bin/env bash
# Makes docs/screenshot.png for the README: the introduction window beside the
# main window, each in the frame a window manager (openbox) gives it, in the middle of an exercise (a few keys typed, one of them
# wrong, so that the colours and a message show) with the record view open.
# Not a test; run it by hand after a build:
#
#   tests/e2e/screenshot.sh [BUILD-DIR]        (default: build)
#
# Needs ImageMagick (apt-get install imagemagick) besides the test packages.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
# shellcheck source=e2e-lib.sh
source "$here/e2e-lib.sh"

build="$(cd "${1:-$root/build}" && pwd)"
program="$build/program/letro"
closer="$build/tests/e2e/x11close"
output="$root/docs/screenshot.png"
[ -x "$program" ] || e2e_fail "no program at $program: build first"
# The ImageMagick tools themselves, whatever else is on the PATH.
convert=/usr/bin/convert
import=/usr/bin/import
[ -x "$convert" ] && [ -x "$import" ] || e2e_fail "ImageMagick is missing (apt-get install imagemagick)"

e2e_init
e2e_start_xvfb
e2e_start_wm
e2e_spanish_keyboard
e2e_no_pulse

"$program" >"$E2E_TMP/letro.log" 2>&1 &
pid=$!
e2e_track "$pid"

window() {
    timeout 20 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}
click_in() {
    xdotool mousemove --window "$1" --sync "$2" "$3" click 1
    sleep 0.3
}

intro="$(window '^Letro 1\.0 - @EL $')"
[ -n "$intro" ] || e2e_fail "no introduction window"
sleep 1.5 # a few title letters recoloured, the writer moving
"$import" -frame -window "$intro" "$E2E_TMP/intro.png"

# CONTINUAR, then the fountain pen (Command5: twips 3840, 120, 735, 735).
click_in "$intro" $((64 + 297 / 2)) $((336 + 41 / 2))
main="$(window '^Letro 1\.0 - letro@example\.org$')"
[ -n "$main" ] || e2e_fail "no main window"
sleep 0.5
click_in "$main" $((256 + 49 / 2)) $((8 + 49 / 2))

# Exercise 1 of "Palabras": its first letters right, then one wrong key and
# the right one in its place, then the next wrong key left standing.
text="$(head -n 1 "$build/program/Palabras/1" | tr -d '\r')"
[ ${#text} -ge 3 ] || e2e_fail "exercise 1 is too short for the picture"
xdotool windowfocus --sync "$main"
xdotool type --delay 150 "${text:0:1}"
xdotool key --delay 150 x
xdotool type --delay 150 "${text:1:1}"
xdotool key --delay 150 y

# The open book (Command2: twips 6360, 120, 735, 735) shows the record box.
click_in "$main" $((424 + 49 / 2)) $((8 + 49 / 2))
sleep 0.8
"$import" -frame -window "$main" "$E2E_TMP/main.png"

# Side by side on white, tops aligned, scaled down a little and reduced to a
# small palette so the picture stays light.
"$convert" "$E2E_TMP/intro.png" -size 16x1 xc:white "$E2E_TMP/main.png" \
    -background white -gravity north +append -bordercolor white -border 12 -resize 85% \
    -colors 128 -strip "PNG8:$output"
echo "wrote $output ($(stat -c %s "$output") bytes)"
"$closer" "$main" || true
