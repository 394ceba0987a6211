# Helpers of the scripts that wayland-run.sh runs: the compositor's view of
# the windows, read from its tree with swaymsg and jq.
#
#   view TITLE            "x y width height" of the client area of the window
#                         titled exactly TITLE, or nothing when there is none
#   view TITLE focused    true or false
#   wait_focused TITLE    waits up to 20 s for the window to have the focus
#   wait_gone TITLE       waits up to 20 s for the window to be gone
#   as_compositor_user CMD [ARGS...]
#                         runs CMD as the compositor's user, on its X display
#                         (wayland-run.sh --xwayland)

view() {
    local field='"\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height)"'
    [ "${2:-}" = focused ] && field=.focused
    swaymsg -t get_tree -r |
        jq -r --arg title "$1" ".. | objects | select(.shell != null and .name == \$title) | $field"
}

wait_focused() {
    for _ in $(seq 200); do
        [ "$(view "$1" focused)" = true ] && return 0
        sleep 0.1
    done
    e2e_fail "the window \"$1\" never had the focus"
}

wait_gone() {
    for _ in $(seq 200); do
        [ -z "$(view "$1")" ] && return 0
        sleep 0.1
    done
    e2e_fail "the window \"$1\" is still there"
}

as_compositor_user() {
    local as=()
    [ "$(id -u)" -eq 0 ] && as=(setpriv --reuid="${E2E_SWAY_USER:?}" --regid="$E2E_SWAY_USER" --clear-groups)
    "${as[@]}" env -i PATH=/usr/bin:/bin HOME="${E2E_SWAY_RUN:?}" XDG_RUNTIME_DIR="$E2E_SWAY_RUN" \
        DISPLAY="${E2E_XDISPLAY:?}" WAYLAND_DISPLAY="${WAYLAND_DISPLAY:?}" LC_ALL=C.UTF-8 "$@"
}
