#!/usr/bin/env bash
# Checks Letro as a desktop package:
#   - the desktop entry, the AppStream metainfo and the man pages are valid;
#   - the programs use no private Qt API (ldd -v lists no Qt_6_PRIVATE_API
#     version they need);
#   - cpack -G DEB builds letro_<version>_<arch>.deb with the right fields and
#     the dependencies of the release it is built on, under that release's
#     own package names (libqt6core6 on Debian 12, libqt6core6t64 on 13), with
#     no tie to one exact Qt build (qt6-base-abi, qt6-base-private-abi);
#   - unpacked into a scratch root, every file is where it belongs (program
#     folder under usr/lib/letro with its pictures and every exercise with a
#     16-bit PCM recording, the command link, icon, entry, metainfo, man pages)
#     and nothing else is there;
#   - the unpacked usr/bin/letro starts under Xvfb, finds its pictures through
#     the link, shows the introduction window and the main window, and ends
#     with status 0 when its window is closed as a window manager closes it;
#   - the unpacked letro-grabar makes exactly the missing recordings of a
#     folder of exercises;
#   - the unpacked usr/bin/letro-editor (a link into the program folder, with
#     its own menu entry, metainfo and man page) opens its window on the
#     installed Letro and ends with status 0 when it is closed;
#   - installed for real by dpkg (as root, in a private mount namespace over
#     layers of /usr and /var that vanish with it), the editor reads dpkg's
#     own list of the package's files where dpkg keeps it and only shows the
#     installed folder, offering a copy: the question is read as a screen
#     reader reads it (AT-SPI), word for word.
# Uses the build folder of ./build.sh (LETRO_BUILD_DIR, default build/),
# configuring and building it first when needed.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${LETRO_BUILD_DIR:-$here/build}"
INTRO_TITLE='Letro 1.0 - @EL '
MAIN_TITLE='Letro 1.0 - letro@example.org'

fail() { echo "check-package: FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }

# Waits up to $2 seconds for a visible window named exactly $1; prints its id.
wait_for_window() {
    local title="$1" limit="$2" id=""
    local deadline=$((SECONDS + limit))
    while [ $SECONDS -lt $deadline ]; do
        id="$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.05
    done
    return 1
}

# Waits up to $2 seconds for process $1 to end; its exit status is in $status.
wait_for_exit() {
    local pid="$1" limit="$2"
    local deadline=$((SECONDS + limit))
    while kill -0 "$pid" 2>/dev/null; do
        if [ $SECONDS -ge $deadline ]; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
            return 1
        fi
        sleep 0.05
    done
    status=0
    wait "$pid" || status=$?
    return 0
}

# The symbol versions that program $1 itself needs, as ldd -v lists them:
# "library (version)" lines, the block of the libraries it loads left out.
needed_versions() {
    ldd -v "$1" | awk -v self="$1:" '
        /^\t[^\t]/ { inside = ($1 == self) }
        inside && /^\t\t/ { print $1, $2 }'
}

# Fails when program $1 needs a private version of a Qt library.
check_public_qt() {
    local program="$1" needed
    needed="$(needed_versions "$program")"
    grep -q '^libQt6Core\.so\.6 ' <<<"$needed" || fail "ldd -v lists no Qt version that $program needs"
    if grep -E '^libQt6[A-Za-z]*\.so\.6 \(Qt_6_PRIVATE_API\)' <<<"$needed"; then
        fail "$program uses private Qt API"
    fi
}

# The package of this machine that holds a file whose path ends in $1, in
# the library folder of this machine's architecture.
owner_of() {
    dpkg-query --search "*/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/$1" 2>/dev/null \
        | sed -n 's/^\([^:, ]*\)\(:[a-z0-9]*\)\?: .*/\1/p' | head -n 1
}

# The part that runs inside the virtual X server (see the end of the script).
under_x() {
    local root="$1" work="$2"
    local letro="$root/usr/bin/letro" program_dir="$root/usr/lib/letro"
    local log="$work/letro.log"
    "$letro" >"$log" 2>&1 &
    local pid=$!
    local intro
    intro="$(wait_for_window "$INTRO_TITLE" 20)" || { cat "$log"; fail "no introduction window"; }
    echo "introduction window shown ($intro)"

    # The writer animation is read from the gifs folder beside the program,
    # found through the usr/bin/letro link: the picture stays open while it plays.
    local found="" i
    for i in $(seq 1 40); do
        if ls -l "/proc/$pid/fd" 2>/dev/null | grep -qF -- "$program_dir/gifs/escritor.gif"; then
            found=yes; break
        fi
        sleep 0.05
    done
    [ -n "$found" ] || { ls -l "/proc/$pid/fd"; fail "the program did not open $program_dir/gifs/escritor.gif"; }
    echo "animation read from $program_dir/gifs"

    # CONTINUAR has the keyboard focus: pressing it opens the main window,
    # which loads the first exercise and closes the introduction window.
    xdotool windowfocus --sync "$intro" 2>/dev/null || true
    xdotool key --clearmodifiers space
    local main
    main="$(wait_for_window "$MAIN_TITLE" 20)" || { cat "$log"; fail "no main window after CONTINUAR"; }
    echo "main window shown ($main)"

    "$work/close-window" "$main" || fail "could not send WM_DELETE_WINDOW"
    local status
    wait_for_exit "$pid" 20 || { cat "$log"; fail "letro did not end after its window was closed"; }
    [ "$status" -eq 0 ] || { cat "$log"; fail "letro ended with status $status"; }
    echo "closed cleanly (status 0)"

    # The editor, through its link, on the Letro it was installed with.
    local editor_log="$work/letro-editor.log"
    XDG_CONFIG_HOME="$work/editor-config" "$root/usr/bin/letro-editor" >"$editor_log" 2>&1 &
    pid=$!
    local editor
    editor="$(wait_for_window "Editor de dictados de Letro" 20)" || { cat "$editor_log"; fail "no editor window"; }
    echo "editor window shown ($editor)"
    [ "$(readlink "/proc/$pid/exe")" = "$(readlink -f "$program_dir/letro-editor")" ] \
        || fail "usr/bin/letro-editor runs $(readlink "/proc/$pid/exe")"
    "$work/close-window" "$editor" || fail "could not send WM_DELETE_WINDOW to the editor"
    wait_for_exit "$pid" 20 || { cat "$editor_log"; fail "letro-editor did not end"; }
    [ "$status" -eq 0 ] || { cat "$editor_log"; fail "letro-editor ended with status $status"; }
    echo "editor closed cleanly (status 0)"
}

# The part that runs in a private mount namespace (see the end of the
# script): package $1 installed by dpkg over layers of /usr and /var that
# only this namespace sees, then the editor started on it under Xvfb.
installed() {
    local deb="$1" work="$2" dir
    local layers="$work/layers"
    mkdir -p "$layers"
    mount -t tmpfs letro-layers "$layers" || fail "cannot mount a scratch file system"
    for dir in /usr /var; do
        mkdir -p "$layers/up$dir" "$layers/work$dir"
        mount -t overlay overlay -o "lowerdir=$dir,upperdir=$layers/up$dir,workdir=$layers/work$dir" \
            "$dir" || fail "cannot lay a scratch layer over $dir"
    done
    # The dependencies are checked in the package's fields above.
    dpkg --force-depends --no-triggers -i "$deb" >"$work/dpkg.log" 2>&1 \
        || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
    grep -qx /usr/lib/letro/letro /var/lib/dpkg/info/letro.list \
        || fail "dpkg's list of the package's files does not name /usr/lib/letro/letro"
    echo "installed by dpkg: $(wc -l </var/lib/dpkg/info/letro.list) paths in /var/lib/dpkg/info/letro.list"
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "${BASH_SOURCE[0]}" --installed-under-x "$work"
}

# Under Xvfb, in that namespace: the installed editor finds its folder in
# dpkg's list and offers a copy instead of changing it. As root it could
# write the folder: only the list makes it read-only.
installed_under_x() {
    local work="$1" bus pid status=0
    local log="$work/installed-editor.log"
    mkdir -m 700 "$work/run"
    bus="$(XDG_RUNTIME_DIR="$work/run" dbus-daemon --session --fork --print-address=1 --print-pid=1)" \
        || fail "no session bus"
    export DBUS_SESSION_BUS_ADDRESS="$(head -n 1 <<<"$bus")" XDG_RUNTIME_DIR="$work/run"
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 XDG_CONFIG_HOME="$work/installed-config" \
        /usr/bin/letro-editor >"$log" 2>&1 &
    pid=$!
    /usr/bin/python3 "$here/tests/editor/e2e-read.py" box "Editor de dictados de Letro" \
        "Esta carpeta de Letro es la que instaló el sistema: la próxima actualización de Letro \
borraría lo que se cambiase en ella. Sus dictados no se cambian desde aquí (/usr/lib/letro).

¿Quiere hacer su propia copia de Letro, con todos los dictados y grabaciones, en una carpeta \
suya? Tendrá su propia entrada en el menú: «Letro (mis dictados, …)»." || status=$?
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    kill "$(sed -n 2p <<<"$bus")" 2>/dev/null || true
    [ "$status" -eq 0 ] || { cat "$log"; fail "the installed editor did not take its folder for the package's"; }
    echo "the installed editor only shows /usr/lib/letro, the package's, and offers a copy"
}

# Sourced (by the tests of the scripts): the functions above, nothing run.
[ "${BASH_SOURCE[0]}" = "$0" ] || return 0

if [ "${1:-}" = "--under-x" ]; then
    under_x "$2" "$3"
    exit 0
fi
if [ "${1:-}" = "--installed" ]; then
    installed "$2" "$3"
    exit 0
fi
if [ "${1:-}" = "--installed-under-x" ]; then
    installed_under_x "$2"
    exit 0
fi

for tool in cmake cpack dpkg-deb dpkg-shlibdeps dpkg-architecture ldd desktop-file-validate appstreamcli lintian xvfb-run \
            xdotool soxi file readelf man cc; do
    command -v "$tool" >/dev/null || fail "$tool is missing (./build.sh test installs it)"
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

step "desktop entry, metainfo and man pages"
desktop-file-validate "$here"/packaging/*.desktop
appstreamcli validate --no-net --pedantic "$here"/packaging/*.metainfo.xml
for page in "$here"/packaging/*.1; do
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null || true)"
    [ -z "$warnings" ] || fail "$page: $warnings"
done

step "build and package ($BUILD_DIR)"
if [ ! -f "$BUILD_DIR/CPackConfig.cmake" ]; then
    cmake -S "$here" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD_DIR" -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
for program in letro letro-editor letro-grabar; do
    check_public_qt "$BUILD_DIR/program/$program"
done
echo "public Qt API only: ldd -v lists no Qt_6_PRIVATE_API for letro, letro-editor, letro-grabar"
(cd "$BUILD_DIR" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) \
    || { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$BUILD_DIR/CPackConfig.cmake")"
arch="$(dpkg --print-architecture)"
deb="$work/deb/letro_${version}_${arch}.deb"
[ -f "$deb" ] || { ls -l "$work/deb"; fail "no letro_${version}_${arch}.deb"; }
echo "$(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"

step "package fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = letro ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Maintainer)" = "Equipo de Letro <letro@example.org>" ] || fail "Maintainer: $(field Maintainer)"
[ "$(field Section)" = education ] || fail "Section: $(field Section)"
depends="$(field Depends)"
echo "Depends: $depends"
# This release's names: the packages that hold the libraries the program
# loads, and the SVG icon engine (libqt6svg6 on Debian 12, qt6-svg-plugins
# on 13).
wanted=(qt6-qpa-plugins qt6-translations-l10n fonts-liberation espeak-ng sox)
for library in libQt6Core libQt6Gui libQt6Widgets libQt6Multimedia libc libstdc++; do
    owner="$(owner_of "$library.so.6")"
    [ -n "$owner" ] || fail "no package of this machine holds $library.so.6"
    wanted+=("$owner")
done
svg_engine="$(owner_of qt6/plugins/iconengines/libqsvgicon.so)"
[ -n "$svg_engine" ] || fail "no package of this machine holds Qt's SVG icon engine"
wanted+=("$svg_engine")
for dep in "${wanted[@]}"; do
    grep -Eq "(^|, )$(sed 's/[+.]/\\&/g' <<<"$dep")( |,|$)" <<<"$depends" || fail "Depends lacks $dep"
done
# Only public Qt API: the package holds for any build of the release's Qt 6.
if dpkg-deb -I "$deb" | grep -E 'qt6-base(-private)?-abi'; then
    fail "the package is tied to one exact Qt build"
fi
if dpkg-deb -c "$deb" | awk '{print $2}' | grep -v '^root/root$' | grep -q .; then
    fail "files not owned by root"
fi

step "unpacked files"
root="$work/root"
dpkg-deb -x "$deb" "$root"
lib="$root/usr/lib/letro"
[ -L "$root/usr/bin/letro" ] || fail "usr/bin/letro is not a link"
[ "$(readlink "$root/usr/bin/letro")" = "../lib/letro/letro" ] || fail "usr/bin/letro -> $(readlink "$root/usr/bin/letro")"
[ "$(readlink -f "$root/usr/bin/letro")" = "$(readlink -f "$lib/letro")" ] || fail "usr/bin/letro does not reach the program"
[ "$(readlink "$root/usr/bin/letro-editor")" = "../lib/letro/letro-editor" ] \
    || fail "usr/bin/letro-editor -> $(readlink "$root/usr/bin/letro-editor")"
for program in "$lib/letro" "$lib/letro-editor" "$root/usr/bin/letro-grabar"; do
    [ -f "$program" ] && [ -x "$program" ] || fail "$program missing or not executable"
    check_public_qt "$program"
    file -b "$program" | grep -q 'ELF 64-bit.*, stripped' || fail "$program: $(file -b "$program")"
    if readelf -d "$program" | grep -Eq 'R(UN)?PATH'; then
        fail "$program keeps a run path: $(readelf -d "$program" | grep -E 'R(UN)?PATH')"
    fi
done
# The charts' module of "Mi progreso", loaded from beside the program.
charts="$lib/modulos/libletroprogresscharts.so"
[ -f "$charts" ] || fail "modulos/libletroprogresscharts.so missing beside the program"
check_public_qt "$charts"
file -b "$charts" | grep -q 'ELF 64-bit.*shared object.*, stripped' || fail "$charts: $(file -b "$charts")"
readelf --dyn-syms "$charts" | grep -c ' letro_line_chart$' >/dev/null || fail "$charts exports no letro_line_chart"
for gif in escritor si no ani 2 3 4 5; do
    [ -s "$lib/gifs/$gif.gif" ] || fail "gifs/$gif.gif missing"
done
expected_files=(
    usr/share/applications/org.example.letro.desktop
    usr/share/metainfo/org.example.letro.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/letro.svg
    usr/share/man/man1/letro.1.gz
    usr/share/man/man1/letro-grabar.1.gz
    usr/share/applications/org.example.letro.editor.desktop
    usr/share/metainfo/org.example.letro.editor.metainfo.xml
    usr/share/man/man1/letro-editor.1.gz
    usr/share/doc/letro/copyright
    usr/share/doc/letro/changelog.gz
    usr/share/letro/progreso-servidor.sql
)
for f in "${expected_files[@]}"; do
    [ -s "$root/$f" ] || fail "$f missing"
done
cmp -s "$root/usr/share/icons/hicolor/scalable/apps/letro.svg" "$here/assets/icons/pluma.svg" \
    || fail "the icon is not the fountain pen"
recordings=0
for type in "Palabras" "Frase corta" "Frase larga"; do
    count="$(find "$here/exercises/$type" -maxdepth 1 -type f -regex '.*/[1-9][0-9]*' | wc -l)"
    [ "$count" -gt 0 ] || fail "no shipped exercises in $type"
    for n in $(seq 1 "$count"); do
        [ -f "$lib/$type/$n" ] || fail "$type/$n missing (exercises must run without gaps)"
        cmp -s "$lib/$type/$n" "$here/exercises/$type/$n" || fail "$type/$n differs from the source"
        for wav in "$lib/$type/$n.wav" "$lib/$type/$n.lento.wav"; do
            [ "$(soxi -b "$wav" 2>/dev/null)" = 16 ] && [ "$(soxi -e "$wav" 2>/dev/null)" = "Signed Integer PCM" ] \
                || fail "$wav is not a 16-bit PCM wave file"
        done
        recordings=$((recordings + 1))
    done
    extra="$(find "$lib/$type" -mindepth 1 | grep -Ev "/[1-9][0-9]*(\.wav|\.lento\.wav)?\$" || true)"
    [ -z "$extra" ] || fail "stray files in $type: $extra"
done
echo "$recordings exercises, each with its recording and its slow recording"
# Nothing but what is listed above (and the folders that hold it).
stray="$(cd "$root" && find . \( -type f -o -type l \) | sed 's|^\./||' | grep -Ev \
    -e '^usr/bin/(letro|letro-grabar|letro-editor)$' \
    -e '^usr/lib/letro/(letro|letro-editor|modulos/libletroprogresscharts\.so)$' \
    -e '^usr/share/letro/progreso-servidor\.sql$' \
    -e '^usr/lib/letro/gifs/[a-z0-9]+\.gif$' \
    -e '^usr/lib/letro/(Palabras|Frase corta|Frase larga)/[1-9][0-9]*(\.wav|\.lento\.wav)?$' \
    -e '^usr/share/(applications|metainfo|icons/hicolor/scalable/apps|man/man1)/' \
    -e '^usr/share/doc/letro/(copyright|changelog\.gz)$' || true)"
[ -z "$stray" ] || fail "unexpected files in the package: $stray"
desktop-file-validate "$root/usr/share/applications/org.example.letro.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.example.letro.metainfo.xml"
grep -qx 'Exec=letro' "$root/usr/share/applications/org.example.letro.desktop" || fail "Exec is not letro"
grep -qx 'Icon=letro' "$root/usr/share/applications/org.example.letro.desktop" || fail "Icon is not letro"
editor_entry="$root/usr/share/applications/org.example.letro.editor.desktop"
desktop-file-validate "$editor_entry"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.example.letro.editor.metainfo.xml"
grep -qx 'Name=Editor de dictados de Letro' "$editor_entry" || fail "the editor's entry has another name"
grep -qx 'Exec=letro-editor' "$editor_entry" || fail "the editor's Exec is not letro-editor"

step "lintian"
# Errors and warnings fail; informational tags are only shown.
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
grep -v 'running with root privileges' "$work/lintian.log" || true
if grep -Eq '^[EW]: ' "$work/lintian.log"; then
    fail "lintian reports errors or warnings"
fi
grep -q 'GPL-3' "$root/usr/share/doc/letro/copyright" || fail "no GPL-3 in the copyright file"
grep -q '<project_license>GPL-3.0-or-later</project_license>' \
    "$root/usr/share/metainfo/org.example.letro.metainfo.xml" || fail "no project_license"

step "letro from the unpacked package, under Xvfb"
cc -O2 -o "$work/close-window" "$here/scripts/close-window.c" -lX11
xvfb-run -a -s "-screen 0 1280x1024x24" bash "${BASH_SOURCE[0]}" --under-x "$root" "$work"

step "letro-grabar from the unpacked package"
grabar="$root/usr/bin/letro-grabar"
[ "$("$grabar" --version)" = "letro-grabar $version" ] || fail "letro-grabar --version: $("$grabar" --version)"
folder="$work/Frase corta"
mkdir -p "$folder"
printf 'Canci\xf3n de cuna\r\n' >"$folder/1"           # Windows-1252
printf '¿Qué tal estás?\n' >"$folder/2"                 # UTF-8
printf 'Hola\r\nsegunda línea\r\n' >"$folder/3"         # CR LF
cp "$lib/Palabras/1.wav" "$folder/2.wav"
touch -d '2020-02-01 10:00' "$folder/2"                # the recording was made after its text
touch -d '2020-03-01 10:00' "$folder/2.wav"
before="$(stat -c '%Y %s' "$folder/2.wav")"
"$grabar" "$folder" >"$work/grabar.out" 2>&1 || { cat "$work/grabar.out"; fail "letro-grabar failed"; }
cat "$work/grabar.out"
[ "$(cd "$folder" && LC_ALL=C ls -A | tr '\n' ' ')" = "1 1.lento.wav 1.wav 2 2.lento.wav 2.wav 3 3.lento.wav 3.wav " ] \
    || fail "letro-grabar left: $(cd "$folder" && ls -A | tr '\n' ' ')"
cmp -s "$folder/2.wav" "$lib/Palabras/1.wav" && [ "$(stat -c '%Y %s' "$folder/2.wav")" = "$before" ] \
    || fail "the existing 2.wav was touched"
for wav in 1.wav 3.wav 1.lento.wav 2.lento.wav 3.lento.wav; do
    file -b "$folder/$wav" | grep -q 'RIFF (little-endian) data, WAVE audio, Microsoft PCM, 16 bit' \
        || fail "$wav: $(file -b "$folder/$wav")"
    [ "$(soxi -b "$folder/$wav")" = 16 ] || fail "$wav is not 16-bit"
    grep -qxF "grabado: $folder/$wav" "$work/grabar.out" || fail "made $wav not reported"
done
# Recordings kept are counted in the folder's summary, not listed one by one.
grep -qxF "$folder: 5 grabados, 0 antiguos regrabados, 1 ya existían, 0 omitidos, 0 fallidos" "$work/grabar.out" \
    || fail "the summary does not count the kept 2.wav"

step "the package installed by dpkg"
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: installing the package needs root"
else
    for tool in unshare mount dbus-daemon /usr/bin/python3; do
        command -v "$tool" >/dev/null || fail "$tool is missing (./build.sh test installs it)"
    done
    /usr/bin/python3 -c 'import pyatspi' || fail "pyatspi is missing (python3-pyatspi)"
    unshare --mount --propagation private bash "${BASH_SOURCE[0]}" --installed "$deb" "$work"
fi

echo "check-package: OK ($(basename "$deb"))"
