#!/usr/bin/env bash
# The pupil's results kept across runs of the real program, on a private X
# server with openbox and the Spanish keyboard, driven from the keyboard
# alone: a pupil finishes three exercises with known wrong keys, closes
# Letro, opens it again and closes it; the pupil's results file then holds
# those three, each with its kinds of mistake, once.
#
#   progress.sh desktop   no class list: nothing is asked, the desktop user
#                         is the pupil
#   progress.sh class     a class list: "¿Quién eres?" comes up over the main
#                         window each run, a name is chosen with the keyboard
#                         (its first letter, then the arrows) and the results
#                         are kept under it
#
# In the second run F3 opens "Mi progreso", which is read through the
# accessibility bus (progress-read.py): the pupil's name, the three
# exercises with their mistakes, the kinds of mistake and the words missed,
# and the suggestion with its dictation. A picture of the window as read is
# kept as the test's artefact, progress-MODE.png in E2E_ARTEFACTS (or the
# current folder).
#
# Needs LETRO_PROGRAM_DIR (the built program folder), X11CLOSE (the helper
# that sends WM_DELETE_WINDOW) and E2E_PROGRESS_READ (the results reader).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=e2e-lib.sh
source "$here/e2e-lib.sh"

mode="${1:?usage: progress.sh desktop|class}"
built="${LETRO_PROGRAM_DIR:?}"
closer="${X11CLOSE:?}"
reader="${E2E_PROGRESS_READ:?}"
[ -x "$built/letro" ] || e2e_fail "no program at $built/letro"
artefacts="${E2E_ARTEFACTS:-$PWD}"
e2e_require dbus-daemon import /usr/bin/python3
/usr/bin/python3 -c 'import pyatspi' || e2e_fail "pyatspi is missing (python3-pyatspi)"
[ -x /usr/libexec/at-spi-bus-launcher ] || e2e_fail "the accessibility bus is missing (at-spi2-core)"

INTRO_TITLE='^Letro 1\.0 - @EL $'
MAIN_TITLE='^Letro 1\.0 - letro@example\.org$'
MESSAGE_TITLE='^Letro$'
QUESTION_TITLE='^¿Quién eres\?$'
PROGRESS_TITLE='^Mi progreso$'

e2e_init
e2e_start_xvfb
e2e_spanish_keyboard
e2e_start_wm
e2e_no_pulse

# A program folder of its own: the program and its pictures beside three
# exercises, in the files' own encoding and line ends.
folder="$E2E_TMP/programa"
mkdir -p "$folder/Palabras" "$folder/Frase corta" "$folder/Frase larga"
cp "$built/letro" "$folder/"
cp -r "$built/gifs" "$folder/"
# The charts' module, loaded from beside the program when the window opens.
mkdir -p "$folder/modulos"
cp "$built/modulos/libletroprogresscharts.so" "$folder/modulos/" || e2e_fail "no charts' module in $built/modulos"
printf 'vaca\r\n' >"$folder/Palabras/1"
printf 'hola\r\n' >"$folder/Palabras/2"
printf 'Rey\r\n' >"$folder/Palabras/3"

# The pupil's home: the results land in its data folder.
home="$E2E_TMP/home"
data="$home/.local/share/Letro"
mkdir -p "$home" "$E2E_TMP/run"
chmod 700 "$E2E_TMP/run"
case "$mode" in
desktop) pupil="$(id -un)" ;;
class)
    mkdir -p "$data"
    printf 'Ana\nBruno\nCarla\n' >"$data/clase.txt"
    pupil=Bruno
    ;;
*) e2e_fail "unknown mode $mode" ;;
esac

# A session bus of the run's own, where the program joins the accessibility
# bus that the reader reads (started on demand by the session bus).
bus="$(env HOME="$home" XDG_RUNTIME_DIR="$E2E_TMP/run" XDG_CONFIG_HOME="$home/.config" \
    XDG_DATA_HOME="$home/.local/share" dbus-daemon --session --fork --print-address=1 --print-pid=1)" ||
    e2e_fail "no session bus"
e2e_track "$(sed -n 2p <<<"$bus")"
DBUS_SESSION_BUS_ADDRESS="$(head -n 1 <<<"$bus")"
export DBUS_SESSION_BUS_ADDRESS
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1

window_exists() {
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1
}

# Waits up to 20 s for no visible window to match.
wait_gone() {
    for _ in $(seq 200); do
        window_exists "$1" || return 0
        sleep 0.1
    done
    e2e_fail "the window /$1/ is still there"
}

press() {
    xdotool key --delay 80 "$@"
}

focus() {
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowactivate --sync "$1"
}

start_letro() {
    env -u XDG_DATA_HOME HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" \
        XDG_RUNTIME_DIR="$E2E_TMP/run" "$folder/letro" >>"$E2E_TMP/letro.log" 2>&1 &
    pid=$!
    e2e_track "$pid"
}

# Waits up to 30 s for the program to end with status 0.
expect_exit_zero() {
    local status=0
    for _ in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && e2e_fail "$1: the program is still running"
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || { cat "$E2E_TMP/letro.log" >&2; e2e_fail "$1: exit status $status"; }
    echo "ok: $1: the program ended with status 0"
}

# From the introduction to the main window, the keyboard alone; on a class's
# account the pupil answers the question with `$1`, keys that pick their name.
open_main_window() {
    local intro question
    intro="$(e2e_wait_for_window "$INTRO_TITLE")"
    focus "$intro"
    press Return
    main="$(e2e_wait_for_window "$MAIN_TITLE")"
    if [ "$mode" = class ]; then
        question="$(e2e_wait_for_window "$QUESTION_TITLE")"
        echo "ok: \"¿Quién eres?\" is asked"
        focus "$question"
        # shellcheck disable=SC2086
        press $1
        wait_gone "$QUESTION_TITLE"
        echo "ok: a name was chosen with the keyboard"
    fi
}

# One exercise: the pen, the keys (wrong ones among them), and the end
# message closed with Return.
type_exercise() {
    focus "$main"
    press ctrl+Return "$@"
    local box
    box="$(e2e_wait_for_window "$MESSAGE_TITLE")"
    focus "$box"
    press Return
    wait_gone "$MESSAGE_TITLE"
}

read_results() {
    "$reader" "$data/progreso.sqlite" "$pupil" || e2e_fail "the results cannot be read"
}

expected="total 3
Palabras 1 terminado 4 aciertos 1 errores: b-v
Palabras 2 terminado 4 aciertos 1 errores: h-falta
Palabras 3 terminado 3 aciertos 2 errores: mayuscula y-i"

check_results() {
    local got
    got="$(read_results)"
    if [ "$got" != "$expected" ]; then
        printf 'expected:\n%s\ngot:\n%s\n' "$expected" "$got" >&2
        e2e_fail "$1: the results file does not hold the three exercises"
    fi
    echo "ok: $1: the three exercises are kept under \"$pupil\" with their kinds of mistake"
}

# The window's picture, once it stays the same from one look to the next
# (the charts drawn), in a PNG file.
keep_picture() {
    local before="" now
    for _ in $(seq 100); do
        now="$(import -frame -window "$1" rgb:- 2>/dev/null | md5sum)"
        [ "$now" = "$before" ] && break
        before="$now"
        sleep 0.2
    done
    [ "$now" = "$before" ] || e2e_fail "the window $1 does not keep still for its picture"
    mkdir -p "$(dirname "$2")"
    import -frame -window "$1" -strip "$2" || e2e_fail "no picture of the window $1"
    echo "ok: the window's picture is in $2"
}

# The first run: three exercises, each with known wrong keys.
since="$(date +%s)"
start_letro
open_main_window "b Return"
type_exercise b v a c a    # "vaca": b for v
[ "$mode" = desktop ] && window_exists "$QUESTION_TITLE" && e2e_fail "asked without a class list"
focus "$main"
press alt+Right
type_exercise o h o l a    # "hola": the h missing
focus "$main"
press alt+Right
type_exercise r shift+r e i y    # "Rey": a small r for the capital, i for y
"$closer" "$main"
expect_exit_zero "first run"
check_results "after closing"

# The second run: the program opened again, on the same pupil.
start_letro
open_main_window "Down Return" # Ana is the first name: Down reaches Bruno
# The reopened program's own view of the results: F3 opens "Mi progreso",
# read as a screen reader reads it: the two charts, and beside them the
# tables, the exercises newest first; the kinds most made first,
# a tie in the order the kinds are named; the words in small letters, the
# most missed first; the suggestion is the first rule in a tie, b/v, with
# the one dictation of the folder that has a b or a v.
focus "$main"
press F3
progress="$(e2e_wait_for_window "$PROGRESS_TITLE")"
echo "ok: F3 opens \"Mi progreso\""
shown="Progreso de $pupil
Gráfico de errores de cada dictado
Gráfico de errores de cada tipo
Errores de cada dictado: Fecha | Dictado | Errores
Palabras 3 | 2
Palabras 2 | 1
Palabras 1 | 1
Errores de cada tipo: Tipo de error | Veces
mayúsculas | 1
y/i | 1
b/v | 1
h que falta | 1
Palabras que más fallas: Palabra | Veces
rey | 2
hola | 1
vaca | 1
Para practicar: b/v: Palabras 1"
env HOME="$home" XDG_RUNTIME_DIR="$E2E_TMP/run" /usr/bin/python3 "$here/progress-read.py" \
    "$shown" "$since" "$(date +%s)" || e2e_fail "\"Mi progreso\" does not show the three exercises"
echo "ok: \"Mi progreso\" reads the three exercises and their kinds of mistake"
keep_picture "$progress" "$artefacts/progress-$mode.png"
focus "$progress"
press Escape
wait_gone "$PROGRESS_TITLE"
focus "$main"
"$closer" "$main"
expect_exit_zero "second run"
# Opening and closing without typing kept nothing more, nor anything twice.
check_results "after the second run"

[ ! -e "$data/clase.txt" ] || [ "$mode" = class ] || e2e_fail "a class list appeared"
if grep -q "Quién eres" "$E2E_TMP/letro.log"; then
    e2e_fail "the program wrote about the question on its output"
fi
