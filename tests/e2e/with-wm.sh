#!/usr/bin/env bash
# Runs a program with a window manager (openbox) on the X server that
# e2e-run.sh --x started, and stops the window manager after it.
#
#   e2e-run.sh --x -- bash with-wm.sh PROGRAM [ARGS...]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=e2e-lib.sh
source "$here/e2e-lib.sh"

[ -n "${E2E_TMP:-}" ] && [ -n "${DISPLAY:-}" ] || e2e_fail "run under e2e-run.sh --x"
# The scratch folder belongs to e2e-run.sh, which removes it.
E2E_KEEP=1
trap e2e_cleanup EXIT
e2e_start_wm

status=0
"$@" || status=$?
exit "$status"
