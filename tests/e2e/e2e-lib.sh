# Shared helpers of the end-to-end tests: a private X server with the Spanish
# keyboard and a private sound server, each in a scratch folder of its own, so
# that several tests can run side by side. Everything started here is stopped
# by e2e_cleanup, which the caller's EXIT trap runs, on failure too.
#
# Source this file, then:
#   e2e_init                    scratch folder in $E2E_TMP, cleanup trap set
#   e2e_start_xvfb              DISPLAY set (free display number, -noreset)
#   e2e_spanish_keyboard        setxkbmap es on $DISPLAY, checked
#   e2e_start_wm                a window manager (openbox) on $DISPLAY, ready
#   e2e_outer_geometry ID       "left top width height" of a window with its
#                               frame, in pixels
#   e2e_title_whole ID TITLE    fails unless openbox's title bar of the window
#                               has room for TITLE whole
#   e2e_start_pulse             PULSE_SERVER set, null sink "$E2E_SINK",
#                               a silent stream keeps its monitor awake
#   e2e_no_pulse                PULSE_SERVER points at a socket nobody serves
#   e2e_wait_for_window TITLE   id of the first visible window whose title
#                               matches, waiting up to 20 s; fails without one
#   e2e_picture_desktop BUILD PROGRAM LAYOUT
#                               for the scripts that make the README's
#                               pictures: the program checked in the program
#                               folder of BUILD (the sources' build folder
#                               when empty; $E2E_BUILD, and $E2E_ROOT the
#                               sources), ImageMagick's own tools in
#                               $E2E_CONVERT and $E2E_IMPORT, then e2e_init,
#                               Xvfb, openbox, the keyboard LAYOUT (es, us, or
#                               "" for Xvfb's own) and no sound server;
#                               $E2E_CLOSER closes a window as its close
#                               button does
#   e2e_start_program NAME [ARGS...]
#                               $E2E_BUILD's program NAME in the background,
#                               its output in $E2E_TMP/NAME.log
#   e2e_click_in ID X Y         a click at a point of a window's client area,
#                               in pixels, and a moment for the answer

E2E_PIDS=()
E2E_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

e2e_fail() {
    echo "E2E FAILURE: $*" >&2
    exit 1
}

e2e_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 ||
            e2e_fail "'$tool' is not installed (build.sh installs it with the test packages)"
    done
}

e2e_cleanup() {
    local pid
    # Newest first: the silent stream before its server, programs before X.
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${E2E_PIDS[i]}
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${E2E_PIDS[@]}"; do
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    E2E_PIDS=()
    if [ -n "${E2E_TMP:-}" ] && [ -z "${E2E_KEEP:-}" ]; then
        rm -rf "$E2E_TMP"
    fi
}

e2e_init() {
    E2E_TMP="$(mktemp -d "${TMPDIR:-/tmp}/letro-e2e.XXXXXX")"
    chmod 700 "$E2E_TMP"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    export LC_ALL=C.UTF-8
}

# Remembers a background process for the cleanup.
e2e_track() {
    E2E_PIDS+=("$1")
}

e2e_start_xvfb() {
    e2e_require Xvfb xdotool
    local fifo="$E2E_TMP/displayfd"
    mkfifo "$fifo"
    # -displayfd lets the server pick a free display number itself. -noreset
    # keeps the keyboard layout that setxkbmap sets when its client leaves.
    Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 \
        3>"$fifo" >"$E2E_TMP/xvfb.log" 2>&1 &
    e2e_track $!
    local number=""
    read -r -t 20 number <"$fifo" || true
    [ -n "$number" ] || { cat "$E2E_TMP/xvfb.log" >&2; e2e_fail "Xvfb did not start"; }
    export DISPLAY=":$number"
    unset WAYLAND_DISPLAY XAUTHORITY
    export QT_QPA_PLATFORM=xcb
}

e2e_start_wm() {
    e2e_require openbox xprop
    # A configuration of its own, so that the user's settings play no part.
    mkdir -p "$E2E_TMP/wm/openbox"
    XDG_CONFIG_HOME="$E2E_TMP/wm" openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    e2e_track $!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    cat "$E2E_TMP/openbox.log" >&2
    e2e_fail "the window manager did not start"
}

e2e_outer_geometry() {
    local info extents l=0 r=0 t=0 b=0
    info="$(xwininfo -id "$1")"
    extents="$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')"
    [ -n "$extents" ] && IFS=, read -r l r t b <<<"$extents"
    awk -v l="$l" -v r="$r" -v t="$t" -v b="$b" '
        /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF}
        END {print x - l, y - t, w + l + r, h + t + b}' <<<"$info"
}

e2e_title_whole() {
    e2e_require xwininfo convert
    local id="$1" title="$2" frame client need label
    frame="$(xwininfo -children -id "$id" | awk '/Parent window id/ {print $4}')"
    client="$(xwininfo -id "$id" | awk '/^ *Width:/ {print $NF}')"
    # openbox writes titles in sans bold 8 points, 3 pixels in from each end
    # of the label, with a shadow a pixel to the right.
    need="$(convert -font DejaVu-Sans-Bold -pointsize 8 -density 96 label:"$title" -trim \
        -format %w info:)"
    need=$((need + 7))
    # Among the frame's windows, the title's label is the widest one of a
    # title bar's height that is narrower than the window itself.
    label="$(xwininfo -tree -id "$frame" | awk -v client="$client" '
        match($0, /[0-9]+x[0-9]+\+/) {
            split(substr($0, RSTART, RLENGTH - 1), size, "x")
            if (size[2] >= 10 && size[2] <= 30 && size[1] < client && size[1] > widest)
                widest = size[1]
        } END {print widest + 0}')"
    [ "$label" -ge "$need" ] ||
        e2e_fail "the title bar has $label pixels for \"$title\", which needs $need"
    echo "ok: the title bar has $label pixels for \"$title\" ($need needed)"
}

# Prints the id of the visible window whose title matches, waiting for it.
e2e_wait_for_window() {
    local id
    id="$(timeout 20 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1)" || true
    [ -n "$id" ] || e2e_fail "no window titled /$1/ appeared"
    echo "$id"
}

e2e_picture_desktop() {
    E2E_BUILD="$(cd "${1:-$E2E_ROOT/build}" && pwd)" || e2e_fail "no build folder $1"
    local program="$E2E_BUILD/program/$2"
    [ -x "$program" ] || e2e_fail "no program at $program: build first"
    # The ImageMagick tools themselves, whatever else is on the PATH.
    E2E_CONVERT=/usr/bin/convert
    E2E_IMPORT=/usr/bin/import
    [ -x "$E2E_CONVERT" ] && [ -x "$E2E_IMPORT" ] ||
        e2e_fail "ImageMagick is missing (apt-get install imagemagick)"
    e2e_init
    e2e_start_xvfb
    e2e_start_wm
    case "$3" in
    es) e2e_spanish_keyboard ;;
    "") ;;
    *) setxkbmap "$3" || e2e_fail "setxkbmap $3 failed" ;;
    esac
    e2e_no_pulse
    # shellcheck disable=SC2034 # for the caller
    E2E_CLOSER="$E2E_BUILD/tests/e2e/x11close"
}

e2e_start_program() {
    local name="$1"
    shift
    "$E2E_BUILD/program/$name" "$@" >"$E2E_TMP/$name.log" 2>&1 &
    e2e_track $!
}

e2e_click_in() {
    xdotool mousemove --window "$1" --sync "$2" "$3" click 1
    sleep 0.3
}

e2e_spanish_keyboard() {
    e2e_require setxkbmap xkbcomp
    setxkbmap es || e2e_fail "setxkbmap es failed"
    local keymap
    keymap="$(xkbcomp -xkb "$DISPLAY" - 2>/dev/null)" || e2e_fail "xkbcomp cannot read the keymap"
    grep -q 'ntilde' <<<"$keymap" ||
        e2e_fail "the Spanish layout did not take (is Xvfb running with -noreset?)"
}

e2e_client_config() {
    # The sound clients never start a server of their own.
    printf 'autospawn = no\n' >"$E2E_TMP/client.conf"
    export PULSE_CLIENTCONFIG="$E2E_TMP/client.conf"
}

e2e_start_pulse() {
    e2e_require pulseaudio pacat parec sox pactl
    local run="$E2E_TMP/pulse"
    mkdir -p "$run"
    chmod 700 "$run"
    E2E_SINK=letro_e2e
    e2e_client_config
    HOME="$run" XDG_RUNTIME_DIR="$run" XDG_CONFIG_HOME="$run/config" \
        pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --disable-shm=yes --log-target=stderr \
        -L "module-native-protocol-unix socket=$run/native auth-anonymous=1" \
        -L "module-null-sink sink_name=$E2E_SINK" \
        >"$E2E_TMP/pulse.log" 2>&1 &
    e2e_track $!
    export PULSE_SERVER="unix:$run/native"
    local ok=""
    for _ in $(seq 100); do
        if pactl info >/dev/null 2>&1; then ok=1; break; fi
        sleep 0.1
    done
    [ -n "$ok" ] || { cat "$E2E_TMP/pulse.log" >&2; e2e_fail "PulseAudio did not start"; }
    # Without a stream playing, the null sink's monitor starts recording about
    # a second late.
    pacat --device="$E2E_SINK" /dev/zero >/dev/null 2>&1 &
    e2e_track $!
    export E2E_SINK
}

e2e_no_pulse() {
    e2e_client_config
    export PULSE_SERVER="unix:$E2E_TMP/no-such-server"
}

# Length in seconds of the part of a raw capture between its first and its
# last sound (0 when it is silent).
e2e_sound_length() {
    local trimmed="$E2E_TMP/trimmed.$$.wav"
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$1" "$trimmed" \
        silence 1 0.01 1% reverse silence 1 0.01 1% reverse
    soxi -D "$trimmed"
    rm -f "$trimmed"
}

# A Wayland compositor refuses root: run as root, it runs as the system user
# letro-wayland (made the first time). Sets `owner`, `as_owner` (the command
# prefix that runs a program as that user, empty when not root) and `run`,
# the compositor's own folder $E2E_TMP/NAME (its sockets, its settings),
# which is its user's; the scratch folder above it only lets it through.
# Call after e2e_init.
e2e_compositor_folder() {
    owner="$(id -un)" as_owner=()
    if [ "$(id -u)" -eq 0 ]; then
        owner=letro-wayland
        as_owner=(setpriv --reuid="$owner" --regid="$owner" --clear-groups)
        if ! id "$owner" >/dev/null 2>&1; then
            useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
                "$owner" || e2e_fail "cannot make the user $owner for the compositor"
        fi
    fi
    chmod 711 "$E2E_TMP"
    run="$E2E_TMP/$1"
    mkdir -m 700 "$run"
}
