#!/usr/bin/env bash
# Letro on Debian 13, from a Debian 12 (or 13) machine: in a Debian 13 root
# made with debootstrap from the same archive as this machine's package
# sources, runs the README's test command (./build.sh test: every package it
# needs, the build, the whole suite and the further checks), then builds the
# Debian 13 package with CPack, installs it there with apt, and prints a
# summary. Slow (the first run installs and builds everything), so it is not
# one of the check-*.sh scripts that ./build.sh test runs.
#
#   sudo scripts/debian13-check.sh
#
#   LETRO_DEBIAN13_DIR  where the root, its build and the last log are kept
#                       (default /var/tmp/letro-debian13); the root is made
#                       once and reused, so a second run only rebuilds what
#                       changed
#   LETRO_DEBIAN_ARCHIVE, LETRO_DEBIAN_SECURITY
#                       the archives to use when this machine's sources name
#                       none for its own release
# Needs root (debootstrap, chroot, mounts in a mount namespace of its own, so
# nothing stays mounted when it ends). /tmp is shared with the root, so the X
# servers of its tests take display numbers this machine leaves free.
set -euo pipefail

SUITE=trixie
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache="${LETRO_DEBIAN13_DIR:-/var/tmp/letro-debian13}"
root="$cache/root"
log="$cache/last-run.log"
SOURCE_IN_ROOT=/root/letro
BUILD_IN_ROOT=/root/letro-build
DEB_IN_ROOT=/root/letro-deb

fail() { echo "debian13-check: FAIL: $*" >&2; exit 1; }

# Prints the URI of the first source in the apt source files $2... that
# serves suite $1 (one-line .list files and deb822 .sources files).
archive_of() {
    local suite="$1" file
    shift
    for file in "$@"; do
        [ -f "$file" ] || continue
        case "$file" in
        *.sources)
            awk -v suite="$suite" '
                function stanza_end() {
                    if (uri != "" && found && enabled && deb) print uri
                    uri = ""; found = 0; enabled = 1; deb = 0
                }
                BEGIN { enabled = 1 }
                /^[ \t]*$/ { stanza_end(); next }
                tolower($1) == "enabled:" && tolower($2) == "no" { enabled = 0 }
                tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
                tolower($1) == "uris:" { uri = $2 }
                tolower($1) == "suites:" { for (i = 2; i <= NF; i++) if ($i == suite) found = 1 }
                END { stanza_end() }' "$file"
            ;;
        *)
            awk -v suite="$suite" '
                $1 == "deb" {
                    i = 2
                    if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
                    if ($(i + 1) == suite) print $i
                }' "$file"
            ;;
        esac
    done | head -n 1
}

# The apt sources of the Debian 13 root: the release, its updates and its
# security archive, from the archives that serve this machine's release.
root_sources() {
    local codename main security
    codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
    local files=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
    main="${LETRO_DEBIAN_ARCHIVE:-$(archive_of "$codename" "${files[@]}")}"
    security="${LETRO_DEBIAN_SECURITY:-$(archive_of "$codename-security" "${files[@]}")}"
    [ -n "$main" ] || return 1
    echo "deb $main $SUITE main"
    echo "deb $main $SUITE-updates main"
    [ -z "$security" ] || echo "deb $security $SUITE-security main"
}

# Makes the Debian 13 root unless a complete one is there already: debootstrap
# works in a folder of its own, which becomes the root only once it is done.
make_root() {
    local sources="$1"
    if [ -f "$root/etc/letro-debian13-root" ]; then
        echo "Debian 13 root: $root (kept from an earlier run)"
        return 0
    fi
    command -v debootstrap >/dev/null || {
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
    }
    local archive
    archive="$(awk 'NR == 1 { print $2 }' <<<"$sources")"
    echo "Debian 13 root: making $root from $archive"
    rm -rf "$root.partial"
    mkdir -p "$cache"
    debootstrap --variant=minbase "$SUITE" "$root.partial" "$archive" >"$cache/debootstrap.log" 2>&1 \
        || { tail -n 20 "$cache/debootstrap.log"; fail "debootstrap failed (log: $cache/debootstrap.log)"; }
    rm -rf "$root"
    mv "$root.partial" "$root"
    touch "$root/etc/letro-debian13-root"
}

# Runs command $@ in the root as root, with a clean environment.
in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

# What runs in the mount namespace: the checks themselves. Prints the lines
# of the summary to file $1.
inside() {
    local summary="$1"
    mount --rbind /dev "$root/dev"
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --bind /tmp "$root/tmp"
    cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

    local status=0 line
    say() { echo "$*" | tee -a "$summary"; }
    say "release: $(in_root sh -c '. /etc/os-release && echo "$PRETTY_NAME"')"

    echo "== ./build.sh test in the root"
    in_root bash -c "cd $SOURCE_IN_ROOT && LETRO_BUILD_DIR=$BUILD_IN_ROOT ./build.sh test" \
        2>&1 | tee "$cache/build-test.log" || status=1
    say "Qt: $(in_root dpkg-query -W -f='${Version}' qt6-base-dev)"
    line="$(grep -E '^[0-9]+% tests passed' "$cache/build-test.log" | head -n 1 || true)"
    say "ctest: ${line:-no result}"
    for line in $(grep -oE '^== scripts/check-[a-z0-9-]+\.sh$' "$cache/build-test.log" | cut -c4-); do
        if grep -qxF "== $line: FAILED" "$cache/build-test.log"; then
            say "$line: FAILED"
        else
            say "$line: passed"
        fi
    done
    [ $status -eq 0 ] && say "./build.sh test: passed" || say "./build.sh test: FAILED (log: $cache/build-test.log)"

    echo "== the Debian 13 package"
    local deb
    rm -rf "$root$DEB_IN_ROOT"
    if in_root bash -c "cd $BUILD_IN_ROOT && cpack -G DEB -B $DEB_IN_ROOT" >"$cache/cpack.log" 2>&1 \
        && deb="$(cd "$root$DEB_IN_ROOT" && ls letro_*.deb 2>/dev/null | head -n 1)" && [ -n "$deb" ]; then
        say "package: $deb"
        say "Depends: $(in_root dpkg-deb -f "$DEB_IN_ROOT/$deb" Depends)"
        if in_root dpkg-deb -I "$DEB_IN_ROOT/$deb" | grep -E 'qt6-base(-private)?-abi' >/dev/null; then
            say "tie to one Qt build: yes (qt6-base-abi)"; status=1
        else
            say "tie to one Qt build: none"
        fi
        # Installed with apt, which brings what it depends on; a copy left by
        # an earlier run goes first.
        in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq letro >/dev/null 2>&1 || true
        if in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$DEB_IN_ROOT/$deb" \
            >"$cache/apt-install.log" 2>&1 \
            && [ "$(in_root dpkg-query -W -f='${Status}' letro)" = "install ok installed" ]; then
            say "apt install: $(in_root dpkg-query -W -f='${Package} ${Version}' letro) installed"
            # The versions the program itself needs: its own block of ldd -v.
            if in_root ldd -v /usr/lib/letro/letro \
                | awk '/^\t[^\t]/ { self = ($1 == "/usr/lib/letro/letro:") } self && /^\t\t/' \
                | grep 'libQt6.*Qt_6_PRIVATE_API' >/dev/null; then
                say "installed letro: uses private Qt API"; status=1
            else
                say "installed letro: public Qt API only (ldd -v)"
            fi
            say "installed letro-grabar: $(in_root letro-grabar --version 2>&1)"
            say "SVG icon engine: $(in_root dpkg-query -W -f='${Package} ${Status}' qt6-svg-plugins 2>&1)"
        else
            tail -n 20 "$cache/apt-install.log"
            say "apt install: FAILED (log: $cache/apt-install.log)"; status=1
        fi
    else
        tail -n 20 "$cache/cpack.log"
        say "package: cpack FAILED (log: $cache/cpack.log)"; status=1
    fi
    return $status
}

# Sourced (by the tests of the scripts): the functions above, nothing run.
[ "${BASH_SOURCE[0]}" = "$0" ] || return 0

if [ "${1:-}" = "--inside" ]; then
    inside "$2"
    exit $?
fi

[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap, chroot)"
sources="$(root_sources)" || fail "no Debian archive in this machine's apt sources: set LETRO_DEBIAN_ARCHIVE"
mkdir -p "$cache"
# One run at a time: two would share the root and its build folder.
exec 9>"$cache/lock"
flock -n 9 || fail "another run is using $cache"
start=$SECONDS
make_root "$sources"
printf '%s\n' "$sources" >"$root/etc/apt/sources.list"

# The tree as it is in the working copy (tracked files, changes included);
# the build folder beside it is kept, so a second run is incremental.
rm -rf "$root$SOURCE_IN_ROOT"
mkdir -p "$root$SOURCE_IN_ROOT"
(cd "$here" && git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf -) \
    | tar -xf - -C "$root$SOURCE_IN_ROOT"

summary="$(mktemp)"
trap 'rm -f "$summary"' EXIT
status=0
unshare --mount --propagation private bash "${BASH_SOURCE[0]}" --inside "$summary" 9>&- 2>&1 | tee "$log" \
    || status=1
echo
echo "debian13-check: summary ($(( (SECONDS - start) / 60 )) min; log: $log)"
sed 's/^/  /' "$summary"
[ $status -eq 0 ] && echo "debian13-check: OK" || echo "debian13-check: FAILED"
exit $status
