#!/usr/bin/env bash
# The real program as an X11 client on a Wayland desktop (through Xwayland,
# run under wayland-run.sh --xwayland): CONTINUAR from the keyboard, then F2.
# The accent pad must come up beside the main window as a tooltip's kind of
# X11 window that the compositor neither manages nor focuses, and the main
# window must keep the keyboard.
#
# Needs LETRO_PROGRAM_DIR (the built program folder).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=../e2e/e2e-lib.sh
source "$here/../e2e/e2e-lib.sh"
# shellcheck source=sway-lib.sh
source "$here/sway-lib.sh"

[ -n "${E2E_TMP:-}" ] && [ -n "${E2E_XDISPLAY:-}" ] || e2e_fail "run under wayland-run.sh --xwayland"
E2E_KEEP=1
trap e2e_cleanup EXIT
e2e_require jq
source_program="${LETRO_PROGRAM_DIR:?}/letro"
[ -x "$source_program" ] || e2e_fail "no program at $source_program"

INTRO_TITLE='Letro 1.0 - @EL '
MAIN_TITLE='Letro 1.0 - letro@example.org'

# A program folder the compositor's user may read, for it runs the program.
folder="$E2E_TMP/letro"
mkdir -p "$folder/Palabras" "$folder/Frase corta" "$folder/Frase larga"
cp "$source_program" "$folder/letro"
cp -r "$LETRO_PROGRAM_DIR/gifs" "$folder/gifs"
printf 'sol\r\n' >"$folder/Palabras/1"
chmod -R a+rX "$folder"

as_compositor_user env QT_QPA_PLATFORM=xcb "$folder/letro" >"$E2E_TMP/letro.log" 2>&1 &
pid=$!
e2e_track "$pid"

wait_focused "$INTRO_TITLE"
[ "$(swaymsg -t get_tree -r | jq -r --arg t "$INTRO_TITLE" '.. | objects | select(.name == $t) | .shell')" = xwayland ] ||
    e2e_fail "the introduction window is not an X11 client's"
wtype -s 50 -k Return
wait_focused "$MAIN_TITLE"
echo "ok: Enter on CONTINUAR opened the main window, an X11 client of Xwayland"

wtype -s 50 -k F2
pad="$(as_compositor_user timeout 20 xdotool search --sync --onlyvisible --name '^Acentos$' | head -n 1)"
[ -n "$pad" ] || { cat "$E2E_TMP/letro.log" >&2; e2e_fail "F2 showed no accent pad"; }
as_compositor_user xwininfo -id "$pad" | grep -q 'Override Redirect State: yes' ||
    e2e_fail "the pad is a window the compositor manages"
as_compositor_user xprop -id "$pad" _NET_WM_WINDOW_TYPE | grep -q '_NET_WM_WINDOW_TYPE_TOOLTIP' ||
    e2e_fail "the pad is not a tooltip's kind of window"
echo "ok: the pad is an override-redirect tooltip window"

# Beside the main window, tops aligned; the main window keeps the focus and
# the compositor has no window of the pad's. The pad may first show where
# Qt guessed the main window's frame, and moves once it knows it: waited for.
beside() {
    [ "$px" -gt $((mx + mw)) ] && [ "$px" -le $((mx + mw + 20)) ] && [ "$py" -ge $((my - 10)) ] &&
        [ "$py" -le $((my + 10)) ]
}
for _ in $(seq 50); do
    read -r mx my mw _ <<<"$(view "$MAIN_TITLE")"
    read -r px py <<<"$(as_compositor_user xdotool getwindowgeometry --shell "$pad" |
        awk -F= '/^X=/ {x = $2} /^Y=/ {y = $2} END {print x, y}')"
    beside && break
    sleep 0.1
done
beside || e2e_fail "the pad is at $px,$py; the main window's client area is at $mx,$my, $mw wide"
echo "ok: the pad is at $px,$py, beside the main window ($mx,$my, $mw wide)"
[ "$(view "$MAIN_TITLE" focused)" = true ] || e2e_fail "the main window lost the focus to the pad"
[ -z "$(view Acentos)" ] || e2e_fail "the compositor manages the pad as a window"
echo "ok: the main window keeps the focus"

swaymsg "[title=\"^${MAIN_TITLE//./\\.}\$\"] kill" >/dev/null || e2e_fail "swaymsg kill failed"
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && e2e_fail "the program is still running 10 s after the close"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { cat "$E2E_TMP/letro.log" >&2; e2e_fail "exit status $status, not 0"; }
echo "ok: closing the main window ended the program with status 0"
