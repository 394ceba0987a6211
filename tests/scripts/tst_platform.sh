#!/usr/bin/env bash
# Tests of the platform side of build.sh, scripts/debian13-check.sh and
# scripts/check-package.sh: each function is sourced from its script (in a
# subshell of its own) and run against stand-ins for apt-cache, dpkg-query
# and ldd put first on the PATH. "-" stands for an empty result.
set -uo pipefail
src="${LETRO_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
export PATH="$work/bin:$PATH"
results="$work/results"
: >"$results"

check() { # NAME EXPECTED ACTUAL
    local actual="${3:--}"
    if [ "$2" = "$actual" ]; then
        echo pass >>"$results"
    else
        echo fail >>"$results"
        printf 'FAIL %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$actual"
    fi
}

stub() { # NAME BODY
    printf '#!/usr/bin/env bash\n%s\n' "$2" >"$work/bin/$1"
    chmod +x "$work/bin/$1"
}

# build.sh: an optional package is installed only where the package lists
# offer it, and only when it is missing.
(
    source "$src/build.sh"
    while read -r name installed candidate expected; do
        stub dpkg-query "[ $installed = yes ] && echo 'install ok installed'"
        # A long version table after the candidate, as apt-cache prints.
        stub apt-cache "printf 'qt6-svg-plugins:\n  Installed: (none)\n  Candidate: %s\n' '$candidate'; seq 100000"
        check "optional package, $name" "$expected" "$(optional_missing)"
    done <<'ROWS'
debian13-missing   no  6.8.2-3 qt6-svg-plugins
debian13-installed yes 6.8.2-3 -
debian12           no  (none)  -
ROWS
)

# debian13-check.sh: the archive that serves a suite, from one-line and
# deb822 source files; disabled and deb-src-only stanzas do not count.
cat >"$work/one.list" <<'EOF'
# deb http://commented.example/debian bookworm main
deb-src http://src.example/debian bookworm main
deb [arch=amd64 signed-by=/usr/share/keyrings/k.gpg] http://one.example/debian bookworm main
deb http://one.example/security bookworm-security main
EOF
cat >"$work/two.sources" <<'EOF'
Types: deb
URIs: http://off.example/debian
Suites: bookworm
Enabled: no

Types: deb-src
URIs: http://src.example/debian
Suites: bookworm

Types: deb
# a comment line inside the stanza
URIs: http://two.example/debian
Suites: bookworm bookworm-updates
Components: main

Types: deb
URIs: http://two.example/debian-security
Suites: bookworm-security
EOF
(
    source "$src/scripts/debian13-check.sh"
    while read -r suite files expected; do
        set -f
        check "archive of $suite in $files" "$expected" \
            "$(cd "$work" && archive_of "$suite" ${files//,/ })"
        set +f
    done <<'ROWS'
bookworm          one.list             http://one.example/debian
bookworm-security one.list             http://one.example/security
bookworm          two.sources          http://two.example/debian
bookworm-updates  two.sources          http://two.example/debian
bookworm-security two.sources          http://two.example/debian-security
bookworm          missing.list,two.sources http://two.example/debian
trixie            one.list,two.sources -
ROWS
)

# check-package.sh: a program uses private Qt API when its own block of
# ldd -v needs Qt_6_PRIVATE_API; Qt's libraries needing it of each other
# do not count.
ldd_output() { # NEEDS OF THE PROGRAM
    printf '\tlinux-vdso.so.1 (0x00007ffc)\n\tlibQt6Core.so.6 => /lib/libQt6Core.so.6\n'
    printf '\n\tVersion information:\n\t/p/letro:\n'
    local need
    for need in "$@"; do printf '\t\t%s => /lib/%s\n' "$need" "${need%% *}"; done
    printf '\t/lib/libQt6Gui.so.6:\n'
    printf '\t\tlibQt6Core.so.6 (Qt_6_PRIVATE_API) => /lib/libQt6Core.so.6\n'
    printf '\t\tlibc.so.6 (GLIBC_2.34) => /lib/libc.so.6\n'
}
(
    source "$src/scripts/check-package.sh"
    while IFS='|' read -r name expected needs; do
        IFS=';' read -r -a list <<<"$needs"
        ldd_output "${list[@]}" >"$work/ldd.out"
        stub ldd "cat '$work/ldd.out'"
        verdict="$( (check_public_qt /p/letro >/dev/null 2>&1) && echo passes || echo fails)"
        check "public Qt API check, $name" "$expected" "$verdict"
    done <<'ROWS'
public only|passes|libQt6Core.so.6 (Qt_6);libQt6Gui.so.6 (Qt_6.4);libc.so.6 (GLIBC_2.34)
private Gui|fails|libQt6Core.so.6 (Qt_6);libQt6Gui.so.6 (Qt_6_PRIVATE_API)
private Core|fails|libQt6Core.so.6 (Qt_6_PRIVATE_API)
glibc's private only|passes|libQt6Core.so.6 (Qt_6);libc.so.6 (GLIBC_PRIVATE)
no Qt listed: ldd did not see the program|fails|libc.so.6 (GLIBC_2.34)
ROWS
)

passed=$(grep -c pass "$results")
failed=$(grep -c fail "$results")
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
