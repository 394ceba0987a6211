#!/usr/bin/env bash
# The teacher's road, end to end, with the real programs on a private X
# server with the Spanish keyboard and a window manager, driven by real keys
# and clicks:
#   - the editor starts on a Letro folder it may not change (the system's)
#     and offers a copy; the teacher picks a folder and gets the copy and
#     its own menu entry "Letro (mis dictados, FOLDER)";
#   - adds "El búho ulula de noche." to "Frase corta", typed with the dead
#     acute key, and synthesises it (normal and slow);
#   - starts Letro from the editor, chooses "Frase corta" and the new
#     number, presses the fountain pen and types the dictation; the last key
#     brings up the "Fin del ejercicio" message box.
# Each message box met is read as a screen reader reads it (AT-SPI, on a
# session bus of the teacher's), and its text checked word for word; every
# step waits for what it needs, never a fixed time.
# As root, the editor runs as the user "nobody", for whom the system's folder
# is really read-only.
#
# Needs LETRO_PROGRAM_DIR (the built program folder with letro-editor) and
# X11CLOSE.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=../e2e/e2e-lib.sh
source "$here/../e2e/e2e-lib.sh"

built="${LETRO_PROGRAM_DIR:?}"
closer="${X11CLOSE:?}"
[ -x "$built/letro-editor" ] || e2e_fail "no editor at $built/letro-editor"
e2e_require desktop-file-validate setpriv dbus-daemon /usr/bin/python3
/usr/bin/python3 -c 'import pyatspi' || e2e_fail "pyatspi is missing (python3-pyatspi)"

EDITOR_TITLE='^Editor de dictados de Letro$'
INTRO_TITLE='^Letro 1\.0 - @EL $'
MAIN_TITLE='^Letro 1\.0 - letro@example\.org$'
TEXT='El búho ulula de noche.'
BOX_TITLE='Editor de dictados de Letro'

e2e_init
e2e_start_xvfb
e2e_spanish_keyboard
e2e_start_wm
e2e_no_pulse

# The system's Letro, and a home for the teacher.
chmod 755 "$E2E_TMP"
system="$E2E_TMP/usr/lib/letro"
mkdir -p "$system"
cp -a "$built/letro" "$built/letro-editor" "$built/gifs" "$system/"
for type in "Palabras" "Frase corta" "Frase larga"; do
    cp -a "$built/$type" "$system/"
done
home="$E2E_TMP/home"
mkdir -p "$home/Documentos"
as_teacher=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$home"
    as_teacher=(setpriv --reuid=65534 --regid=65534 --clear-groups)
else
    chmod -R a-w "$system"
fi

# The teacher's session bus, with the accessibility bus that Qt joins: the
# test reads the message boxes there, as the teacher (only the owner of a
# session bus may join it).
runtime="$E2E_TMP/run"
mkdir -m 700 "$runtime"
[ "$(id -u)" -ne 0 ] || chown 65534:65534 "$runtime"
bus="$("${as_teacher[@]}" env HOME="$home" XDG_RUNTIME_DIR="$runtime" \
    dbus-daemon --session --fork --print-address=1 --print-pid=1)" ||
    e2e_fail "no session bus"
e2e_track "$(sed -n 2p <<<"$bus")"
DBUS_SESSION_BUS_ADDRESS="$(head -n 1 <<<"$bus")"
export DBUS_SESSION_BUS_ADDRESS
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
# The reader runs as the teacher, who may not see into the source tree
# (a checkout under /root, say): it runs from a copy beside the test's files.
reader="$E2E_TMP/e2e-read.py"
install -m 644 "$here/e2e-read.py" "$reader"
# Waits for a message box titled $1 that says exactly $2.
box_says() {
    "${as_teacher[@]}" env HOME="$home" XDG_RUNTIME_DIR="$runtime" \
        /usr/bin/python3 "$reader" box "$1" "$2" || e2e_fail "the message box differs"
}
# Waits until the object named $1 holds the text $2.
text_is() {
    "${as_teacher[@]}" env HOME="$home" XDG_RUNTIME_DIR="$runtime" \
        /usr/bin/python3 "$reader" text "$1" "$2" || e2e_fail "\"$1\" holds another text"
}

# Ids of the visible windows whose title matches, waiting for at least $2.
windows() {
    local want="${2:-1}" ids=""
    for _ in $(seq 200); do
        ids="$(xdotool search --onlyvisible --name "$1" 2>/dev/null || true)"
        [ "$(grep -c . <<<"$ids")" -ge "$want" ] && { echo "$ids"; return 0; }
        sleep 0.1
    done
    e2e_fail "fewer than $want windows titled /$1/ appeared"
}
# The newest of them (X hands out growing ids).
newest() {
    windows "$@" | sort -n | tail -n 1
}
gone() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    e2e_fail "the window /$1/ is still there"
}
wait_for_file() {
    for _ in $(seq 300); do
        [ -s "$1" ] && return 0
        sleep 0.1
    done
    e2e_fail "no file $1"
}
focus() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    for _ in $(seq 100); do
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
        sleep 0.05
    done
    e2e_fail "the window $1 did not get the focus"
}
keys() {
    xdotool key --clearmodifiers --delay 60 "$@"
}
# X hands a window's clicks and keys over in order: the keys that follow a
# click reach what it chose.
click_in() {
    xdotool mousemove --window "$1" --sync "$2" "$3" click 1
}
# The keys of the Spanish layout that type $1.
type_spanish() {
    local text="$1" c i
    local accented="áéíóú" plain="aeiou"
    for ((i = 0; i < ${#text}; i++)); do
        c="${text:i:1}"
        case "$c" in
        [a-z0-9]) keys "$c" ;;
        [A-Z]) keys "shift+${c,}" ;;
        ' ') keys space ;;
        .) keys period ;;
        ,) keys comma ;;
        ñ) keys ntilde ;;
        ü) keys dead_diaeresis u ;;
        ¿) keys questiondown ;;
        ¡) keys exclamdown ;;
        *)
            local rest="${accented%%"$c"*}"
            [ "$rest" != "$accented" ] || e2e_fail "no key for '$c'"
            keys dead_acute "${plain:${#rest}:1}"
            ;;
        esac
    done
}

# 1. The editor on the system's folder offers the teacher's own copy.
"${as_teacher[@]}" env HOME="$home" XDG_CONFIG_HOME="$home/.config" \
    XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$runtime" \
    "$system/letro-editor" >"$E2E_TMP/editor.log" 2>&1 &
editor_pid=$!
e2e_track "$editor_pid"
editor="$(windows "$EDITOR_TITLE" | sort -n | head -n 1)"
question="$(newest "$EDITOR_TITLE" 2)"
box_says "$BOX_TITLE" "Esta carpeta de Letro es del sistema o de otro usuario: usted no puede \
cambiarla. Sus dictados no se cambian desde aquí ($system).

¿Quiere hacer su propia copia de Letro, con todos los dictados y grabaciones, en una carpeta \
suya? Tendrá su propia entrada en el menú: «Letro (mis dictados, …)»."
echo "ok: the editor offers a copy of Letro"
focus "$question"
keys Return # "Hacer mi copia…"
chooser="$(newest '^Elija dónde poner su copia de Letro')"
focus "$chooser"
keys ctrl+a
xdotool type --delay 40 "$home/Documentos"
# The first Return may only take the completion: again while the chooser stays.
for _ in 1 2 3; do
    keys Return
    for _ in $(seq 20); do
        xdotool search --onlyvisible --name '^Elija dónde' >/dev/null 2>&1 || break 2
        sleep 0.1
    done
done
gone '^Elija dónde'
copy="$home/Documentos/Letro"
wait_for_file "$copy/letro"
told="$(newest "$EDITOR_TITLE" 2)"
for type in "Palabras" "Frase corta" "Frase larga"; do
    diff -r "$system/$type" "$copy/$type" >/dev/null || e2e_fail "the copy of $type differs"
done
# Each copy has an entry of its own, named with its folder.
entry="$(grep -lxF "Exec=\"$copy/letro\"" "$home"/.local/share/applications/org.example.letro.mis-dictados-*.desktop)" ||
    e2e_fail "no menu entry starts $copy/letro"
grep -qxF "Name=Letro (mis dictados, ${copy/#$home/\~})" "$entry" ||
    e2e_fail "the menu entry has another name: $(grep ^Name= "$entry")"
grep -qxF "Exec=\"$copy/letro\"" "$entry" || e2e_fail "the menu entry starts $(grep ^Exec= "$entry")"
desktop-file-validate "$entry" || e2e_fail "the menu entry is not valid"
box_says "$BOX_TITLE" "Su copia de Letro está en «$copy». En el menú de programas aparece \
como «Letro (mis dictados, ~/Documentos/Letro)». Los dictados que escriba y grabe aquí son para \
esa copia."
echo "ok: the copy is in $copy with its menu entry"
focus "$told"
keys Return

# 2. A new "Frase corta", typed with the dead acute key, and its recordings.
shipped="$(find "$copy/Frase corta" -maxdepth 1 -regex '.*/[1-9][0-9]*' | wc -l)"
number=$((shipped + 1))
focus "$editor"
keys ctrl+2 alt+a
dialog="$(newest '^Nuevo dictado de «Frase corta»$')"
focus "$dialog"
type_spanish "$TEXT"
keys Return
gone '^Nuevo dictado de'
text_file="$copy/Frase corta/$number"
wait_for_file "$text_file"
[ "$(cat "$text_file")" = "$TEXT"$'\r' ] || e2e_fail "exercise $number holds $(od -c "$text_file")"
echo "ok: \"$TEXT\" is exercise $number of Frase corta (UTF-8, CR LF)"
focus "$editor"
keys alt+t
wait_for_file "$copy/Frase corta/$number.wav"
wait_for_file "$copy/Frase corta/$number.lento.wav"
for wav in "$number.wav" "$number.lento.wav"; do
    [ "$(soxi -b "$copy/Frase corta/$wav")" = 16 ] || e2e_fail "$wav is not 16-bit"
done
[ ! -e "$system/Frase corta/$number" ] || e2e_fail "the system's folder was changed"
echo "ok: synthesised, normal and slow"

# The new dictation becomes the first with "Mover a…", from the keyboard:
# the others come one place forward with their recordings.
first="$(cat "$copy/Frase corta/1")"
focus "$editor"
for _ in 1 2 3 4 5; do
    keys alt+r # again while the recording is still being put in place
    for _ in $(seq 20); do
        mover="$(xdotool search --onlyvisible --name "^Mover el dictado $number\$" 2>/dev/null | head -n 1)" &&
            [ -n "$mover" ] && break 2
        sleep 0.1
    done
done
[ -n "${mover:-}" ] || e2e_fail "no \"Mover el dictado $number\" dialog"
focus "$mover"
keys 1 Return
gone "^Mover el dictado"
for _ in $(seq 300); do
    [ "$(cat "$copy/Frase corta/1")" = "$TEXT"$'\r' ] && break
    sleep 0.1
done
[ "$(cat "$copy/Frase corta/1")" = "$TEXT"$'\r' ] || e2e_fail "exercise 1 holds $(cat "$copy/Frase corta/1")"
[ "$(cat "$copy/Frase corta/2")" = "$first" ] || e2e_fail "the old first is not exercise 2"
cmp -s "$system/Frase corta/$((number - 1)).wav" "$copy/Frase corta/$number.wav" ||
    e2e_fail "exercise $number lost the recording of $((number - 1))"
for wav in 1.wav 1.lento.wav; do
    [ -s "$copy/Frase corta/$wav" ] || e2e_fail "exercise 1 has no $wav"
done
number=1
echo "ok: moved to number 1 with \"Mover a…\", recordings and all"

# 3. Letro from the editor: the new dictation, typed and finished.
keys alt+p
intro="$(newest "$INTRO_TITLE")"
letro_pid="$(xdotool getwindowpid "$intro")"
e2e_track "$letro_pid"
[ "$(readlink "/proc/$letro_pid/exe")" = "$copy/letro" ] ||
    e2e_fail "the editor started $(readlink "/proc/$letro_pid/exe")"
focus "$intro"
keys space # CONTINUAR
main="$(newest "$MAIN_TITLE")"
focus "$main"
# Letro opens on the dictation chosen in the editor, loaded quietly: the
# text finished below is only in "Frase corta" $number.
text_is "Número de ejercicio" "$number"
xdotool search --onlyvisible --name '^Letro$' >/dev/null 2>&1 &&
    e2e_fail "a message box came up at the start on exercise $number"
click_in "$main" $((256 + 49 / 2)) $((8 + 49 / 2)) # Command5: the fountain pen
type_spanish "${TEXT%?}"
text_is "Escribe aquí el dictado" "${TEXT%?}"
xdotool search --onlyvisible --name '^Letro$' >/dev/null 2>&1 &&
    e2e_fail "a message box came up before the last key"
type_spanish "${TEXT: -1}"
box="$(newest '^Letro$')"
box_says "Letro" "Fin del ejercicio"
echo "ok: Letro ended the exercise (\"Fin del ejercicio\" box $box)"
focus "$box"
keys Return
gone '^Letro$'

"$closer" "$main"
for _ in $(seq 50); do kill -0 "$letro_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$letro_pid" 2>/dev/null && e2e_fail "Letro did not end"
"$closer" "$editor"
status=0
wait "$editor_pid" || status=$?
[ "$status" -eq 0 ] || { cat "$E2E_TMP/editor.log" >&2; e2e_fail "the editor ended with $status"; }
echo "ok: both programs closed"
