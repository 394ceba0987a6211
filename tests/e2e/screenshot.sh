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
# shellcheck source=e2e-lib.sh
source "$here/e2e-lib.sh"

e2e_picture_desktop "${1:-}" letro es
e2e_start_program letro
output="$E2E_ROOT/docs/screenshot.png"

intro="$(e2e_wait_for_window '^Letro 1\.0 - @EL $')"
sleep 1.5 # a few title letters recoloured, the writer moving
"$E2E_IMPORT" -frame -window "$intro" "$E2E_TMP/intro.png"

# CONTINUAR, then the fountain pen (Command5: twips 3840, 120, 735, 735).
e2e_click_in "$intro" $((64 + 297 / 2)) $((336 + 41 / 2))
main="$(e2e_wait_for_window '^Letro 1\.0 - letro@example\.org$')"
sleep 0.5
e2e_click_in "$main" $((256 + 49 / 2)) $((8 + 49 / 2))

# Exercise 1 of "Palabras": its first letters right, then one wrong key and
# the right one in its place, then the next wrong key left standing.
text="$(head -n 1 "$E2E_BUILD/program/Palabras/1" | tr -d '\r')"
[ ${#text} -ge 3 ] || e2e_fail "exercise 1 is too short for the picture"
xdotool windowfocus --sync "$main"
xdotool type --delay 150 "${text:0:1}"
xdotool key --delay 150 x
xdotool type --delay 150 "${text:1:1}"
xdotool key --delay 150 y

# The open book (Command2: twips 6360, 120, 735, 735) shows the record box.
e2e_click_in "$main" $((424 + 49 / 2)) $((8 + 49 / 2))
sleep 0.8
"$E2E_IMPORT" -frame -window "$main" "$E2E_TMP/main.png"

# Side by side on white, tops aligned, scaled down a little and reduced to a
# small palette so the picture stays light.
"$E2E_CONVERT" "$E2E_TMP/intro.png" -size 16x1 xc:white "$E2E_TMP/main.png" \
    -background white -gravity north +append -bordercolor white -border 12 -resize 85% \
    -colors 128 -strip "PNG8:$output"
echo "wrote $output ($(stat -c %s "$output") bytes)"
"$E2E_CLOSER" "$main" || true
