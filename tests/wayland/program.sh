#!/usr/bin/env bash
# The real program as a native Wayland client (run under wayland-run.sh): the
# introduction window's CONTINUAR from the keyboard, then "No encuentro el
# archivo" (the next exercise is missing) and the compositor closing the main
# window under it. The close must wait for the box: the program goes on; once
# the box is answered, closing the main window ends the program with status 0.
#
# Needs LETRO_PROGRAM_DIR (the built program folder) and WLPOINTER.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=../e2e/e2e-lib.sh
source "$here/../e2e/e2e-lib.sh"
# shellcheck source=sway-lib.sh
source "$here/sway-lib.sh"

[ -n "${E2E_TMP:-}" ] && [ -n "${SWAYSOCK:-}" ] || e2e_fail "run under wayland-run.sh"
# The scratch folder belongs to wayland-run.sh, which removes it.
E2E_KEEP=1
trap e2e_cleanup EXIT
e2e_require jq
pointer_tool="${WLPOINTER:?}"
source_program="${LETRO_PROGRAM_DIR:?}/letro"
[ -x "$source_program" ] || e2e_fail "no program at $source_program"

INTRO_TITLE='Letro 1.0 - @EL '
MAIN_TITLE='Letro 1.0 - letro@example.org'

# A program folder of its own: exercise 1 of "Palabras" and no exercise 2.
folder="$E2E_TMP/letro"
mkdir -p "$folder/Palabras" "$folder/Frase corta" "$folder/Frase larga"
cp "$source_program" "$folder/letro"
cp -r "$LETRO_PROGRAM_DIR/gifs" "$folder/gifs"
printf 'sol\r\n' >"$folder/Palabras/1"

# The pointer.
coproc POINTER { "$pointer_tool" 1280 1024; }
e2e_track "$POINTER_PID"
pointer() {
    local answer=""
    [ $# -eq 0 ] || echo "$*" >&"${POINTER[1]}"
    read -r -t 10 answer <&"${POINTER[0]}" || true
    [ "$answer" = ok ] || e2e_fail "the pointer did not take: $*"
}
pointer # the pointer is ready

"$folder/letro" >"$E2E_TMP/letro.log" 2>&1 &
pid=$!
e2e_track "$pid"

wait_focused "$INTRO_TITLE"
echo "ok: the introduction window has the focus"
wtype -s 50 -k Return
wait_focused "$MAIN_TITLE"
wait_gone "$INTRO_TITLE"
echo "ok: Enter on CONTINUAR opened the main window"

# The next-exercise button Command3(0): twips 1080, 120, 735, 735.
read -r x y _ _ <<<"$(view "$MAIN_TITLE")"
pointer move $((x + 72 + 24)) $((y + 8 + 24))
pointer press
pointer release
wait_focused Letro
echo "ok: a message box came up over the main window"

# The compositor closes the main window, then the box is answered with
# Enter: the compositor sends both to the program in this order, so once the
# box is gone the close has been dealt with.
swaymsg "[title=\"^${MAIN_TITLE//./\\.}\$\"] kill" >/dev/null || e2e_fail "swaymsg kill failed"
wtype -s 50 -k Return
wait_gone Letro
kill -0 "$pid" 2>/dev/null || {
    cat "$E2E_TMP/letro.log" >&2
    e2e_fail "the program ended when its main window was closed under the box"
}
[ -n "$(view "$MAIN_TITLE")" ] || e2e_fail "the main window went away under the box"
echo "ok: the close waited for the box; the program goes on"

swaymsg "[title=\"^${MAIN_TITLE//./\\.}\$\"] kill" >/dev/null || e2e_fail "swaymsg kill failed"
status=0
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && {
    cat "$E2E_TMP/letro.log" >&2
    swaymsg -t get_tree -r | jq -r '.. | objects | select(.shell != null) | .name' >&2
    e2e_fail "the program is still running 10 s after the close"
}
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { cat "$E2E_TMP/letro.log" >&2; e2e_fail "exit status $status, not 0"; }
echo "ok: closing the main window ended the program with status 0"
