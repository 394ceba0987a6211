#!/usr/bin/env bash
# The accessibility test: the real program on a private X server with a
# window manager and the Spanish keyboard, in a private D-Bus session with
# the accessibility bus, read by a11y.py through AT-SPI; or, with "orca",
# heard through the screen reader Orca by orca.py.
#
#   a11y.sh PROGRAM [orca]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=../e2e/e2e-lib.sh
source "$here/../e2e/e2e-lib.sh"

program="$1"
driver="$here/a11y.py"
[ "${2:-}" = orca ] && driver="$here/orca.py"
[ -x "$program" ] || e2e_fail "no program at $program"
e2e_require dbus-run-session /usr/bin/python3
/usr/bin/python3 -c 'import pyatspi' || e2e_fail "pyatspi is missing (python3-pyatspi)"
[ -x /usr/libexec/at-spi-bus-launcher ] || e2e_fail "the accessibility bus is missing (at-spi2-core)"
[ "$driver" = "$here/a11y.py" ] || [ -x /usr/bin/orca ] || e2e_fail "the screen reader is missing (orca)"

e2e_init
e2e_start_xvfb
e2e_spanish_keyboard
e2e_start_wm
e2e_no_pulse
# Qt talks to the accessibility bus whatever the desktop's settings say.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export QT_ACCESSIBILITY=1
export XDG_RUNTIME_DIR="$E2E_TMP/run"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
# The screen reader's settings start afresh, and the pupil's results are
# kept, in a home of the test's own: the account's own are never touched.
export HOME="$E2E_TMP/home" E2E_TMP
export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config" \
    XDG_CACHE_HOME="$HOME/.cache" XDG_STATE_HOME="$HOME/.local/state"
mkdir -p "$HOME"
# The Debian Python, whose pyatspi this is, not one found first on the PATH.
dbus-run-session -- /usr/bin/python3 "$driver" "$program"
