#!/usr/bin/env bash
# Letro's one entry point on a Debian 12 or 13 machine:
#   ./build.sh run    install what is missing, build, and start Letro
#   ./build.sh test   install what is missing, build, and run every test
# Installing needs root (or sudo); when nothing is missing it is skipped, and
# the build is incremental, so running either again is quick.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"

BUILD_DIR="${LETRO_BUILD_DIR:-$here/build}"
JOBS="$(nproc 2>/dev/null || echo 2)"

# What building and running Letro needs.
RUN_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev
    libqt6svg6 qt6-qpa-plugins qt6-image-formats-plugins
    fonts-liberation fontconfig espeak-ng sox qt6-translations-l10n libxcb1-dev
    libqt6sql6-sqlite libqt6sql6-psql qt6-charts-dev
    # Qt Charts' CMake files ask for Qt OpenGL's, which Debian 12's
    # qt6-charts-dev does not pull in.
    libqt6opengl6-dev
)
# Installed where the archive has them. From Qt 6.5 on (Debian 13) Qt's SVG
# icon engine, which draws the buttons' pictures, is a package of its own;
# before, libqt6svg6 holds it.
OPTIONAL_PACKAGES=(qt6-svg-plugins)
# What the tests need on top: a virtual X server with the Spanish keyboard,
# a private sound server, sanitizers, fuzzing, the package checks, the
# accessibility bus with its Python reader and the screen reader, and a
# PostgreSQL server (its programs only: the store's tests start their own).
TEST_PACKAGES=(
    xvfb xauth xdotool x11-xkb-utils xkb-data x11-utils openbox imagemagick
    pulseaudio pulseaudio-utils
    clang libclang-rt-dev llvm clang-format-19 git
    desktop-file-utils appstream lintian dpkg-dev file binutils man-db
    sway wtype qt6-wayland libwayland-dev jq xwayland mutter
    dbus-bin at-spi2-core python3-pyatspi orca
    postgresql
)

# (Each output is read whole: with pipefail, a grep -q that stops reading
# early would make the writer's SIGPIPE fail the test.)
installed() { [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]; }
# Whether the package lists offer package $1.
offered() { apt-cache policy "$1" 2>/dev/null | grep -c 'Candidate: [^(]' >/dev/null; }
# The optional packages still missing that the package lists offer.
optional_missing() {
    local pkg
    for pkg in "${OPTIONAL_PACKAGES[@]}"; do
        if ! installed "$pkg" && offered "$pkg"; then echo "$pkg"; fi
    done
}

install_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        installed "$pkg" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && [ -z "$(optional_missing)" ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    # Asked again: fresh package lists may offer what old ones did not.
    mapfile -t -O ${#missing[@]} missing < <(optional_missing)
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    cmake -S "$here" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$BUILD_DIR" -j "$JOBS"
}

# Sourced (by the tests of the scripts): the functions above, nothing run.
[ "${BASH_SOURCE[0]}" = "$0" ] || return 0

case "${1:-}" in
run)
    install_packages "${RUN_PACKAGES[@]}"
    build -DBUILD_TESTING=OFF
    exec "$BUILD_DIR/program/letro"
    ;;
test)
    install_packages "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build -DBUILD_TESTING=ON
    status=0
    (cd "$BUILD_DIR" && ctest --output-on-failure -j "$JOBS") || status=1
    # Further checks, each a script of its own.
    for check in scripts/check-*.sh; do
        [ -e "$check" ] || continue
        echo "== $check"
        bash "$check" || { echo "== $check: FAILED"; status=1; }
    done
    exit $status
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
