#!/usr/bin/env bash
# Makes docs/editor.png for the README: the editor on a copy of the built
# Letro, the "Frase corta" tab with a new dictation still without its
# recordings chosen, and one line Letro could never finish marked. Not a
# test; run it by hand after a build:
#
#   tests/editor/screenshot.sh [BUILD-DIR]        (default: build)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=../e2e/e2e-lib.sh
source "$here/../e2e/e2e-lib.sh"

e2e_picture_desktop "${1:-}" letro-editor ""
program="$E2E_BUILD/program"
output="$E2E_ROOT/docs/editor.png"

copy="$E2E_TMP/Letro"
mkdir -p "$copy"
cp -a "$program/letro" "$program/gifs" "$program/Palabras" "$program/Frase corta" \
    "$program/Frase larga" "$copy/"
last="$(find "$copy/Frase corta" -maxdepth 1 -regex '.*/[1-9][0-9]*' | wc -l)"
printf 'El búho ulula de noche.\r\n' >"$copy/Frase corta/$((last + 1))"
printf 'Hola\tamigos\r\n' >"$copy/Frase corta/$((last + 2))"

XDG_CONFIG_HOME="$E2E_TMP/config" e2e_start_program letro-editor "$copy"
editor="$(e2e_wait_for_window '^Editor de dictados de Letro$')"
xdotool windowactivate --sync "$editor"
sleep 0.5
xdotool key --delay 100 ctrl+2 End Up
sleep 0.8
"$E2E_IMPORT" -frame -window "$editor" "$E2E_TMP/editor.png"
"$E2E_CONVERT" "$E2E_TMP/editor.png" -resize 85% -colors 128 -strip "PNG8:$output"
echo "wrote $output ($(stat -c %s "$output") bytes)"
