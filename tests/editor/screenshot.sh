#!/usr/bin/env bash
# Makes docs/editor.png for the README: the editor on a copy of the built
# Letro, the "Frase corta" tab with a new dictation still without its
# recordings chosen, and one line Letro could never finish marked. Not a
# test; run it by hand after a build:
#
#   tests/editor/screenshot.sh [BUILD-DIR]        (default: build)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
# shellcheck source=../e2e/e2e-lib.sh
source "$here/../e2e/e2e-lib.sh"

build="$(cd "${1:-$root/build}" && pwd)"
program="$build/program"
output="$root/docs/editor.png"
[ -x "$program/letro-editor" ] || e2e_fail "no editor in $program: build first"
convert=/usr/bin/convert
import=/usr/bin/import
[ -x "$convert" ] && [ -x "$import" ] || e2e_fail "ImageMagick is missing (apt-get install imagemagick)"

e2e_init
e2e_start_xvfb
e2e_start_wm
e2e_no_pulse

copy="$E2E_TMP/Letro"
mkdir -p "$copy"
cp -a "$program/letro" "$program/gifs" "$program/Palabras" "$program/Frase corta" \
    "$program/Frase larga" "$copy/"
last="$(find "$copy/Frase corta" -maxdepth 1 -regex '.*/[1-9][0-9]*' | wc -l)"
printf 'El búho ulula de noche.\r\n' >"$copy/Frase corta/$((last + 1))"
printf 'Hola\tamigos\r\n' >"$copy/Frase corta/$((last + 2))"

XDG_CONFIG_HOME="$E2E_TMP/config" "$program/letro-editor" "$copy" >"$E2E_TMP/editor.log" 2>&1 &
e2e_track $!
editor="$(timeout 20 xdotool search --sync --onlyvisible --name '^Editor de dictados de Letro$' | head -n 1)"
[ -n "$editor" ] || e2e_fail "no editor window"
xdotool windowactivate --sync "$editor"
sleep 0.5
xdotool key --delay 100 ctrl+2 End Up
sleep 0.8
"$import" -frame -window "$editor" "$E2E_TMP/editor.png"
"$convert" "$E2E_TMP/editor.png" -resize 85% -colors 128 -strip "PNG8:$output"
echo "wrote $output ($(stat -c %s "$output") bytes)"
