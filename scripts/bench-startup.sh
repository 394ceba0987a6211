#!/usr/bin/env bash
# Start-up and idle cost of Letro under Xvfb (a benchmark, not a test):
#   - time from starting the program to its introduction window being mapped
#     (median and best of several runs; xdotool polled in a tight loop);
#   - peak resident memory of a run (/usr/bin/time -v, "Maximum resident set
#     size"), over start-up, 10 s of introduction window and 10 s of main window;
#   - processor time used over 10 s with the animations running, in the
#     introduction window and then in the main window (/proc/<pid>/stat).
# Goals on the development machine: first window < 150 ms, peak memory < 60 MB,
# idle processor < 2 % of a core.
#
#   scripts/bench-startup.sh [PROGRAM] [RUNS]
# PROGRAM defaults to build/program/letro (LETRO_BUILD_DIR), RUNS to 7.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${LETRO_BUILD_DIR:-$here/build}"
INTRO_TITLE='Letro 1.0 - @EL '
MAIN_TITLE='Letro 1.0 - letro@example.org'
IDLE_SECONDS=10

now_ns() { date +%s%N; }

find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true; }

wait_for_window() {
    local title="$1" id="" deadline=$((SECONDS + 20))
    while [ $SECONDS -lt $deadline ]; do
        id="$(find_window "$title")"
        [ -n "$id" ] && { echo "$id"; return 0; }
    done
    return 1
}

# utime + stime of a process, in clock ticks.
cpu_ticks() {
    local rest
    rest="$(sed 's/^.*) //' "/proc/$1/stat")"
    set -- $rest
    echo $(( ${12} + ${13} ))
}

wait_for_exit() {
    local pid="$1" deadline=$((SECONDS + 20))
    while kill -0 "$pid" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || { kill "$pid"; return 1; }
        sleep 0.05
    done
}

# Processor use of pid over IDLE_SECONDS, in percent of one core.
idle_cpu() {
    local pid="$1" ticks_per_second before after t0 t1
    ticks_per_second="$(getconf CLK_TCK)"
    before="$(cpu_ticks "$pid")"; t0="$(now_ns)"
    sleep "$IDLE_SECONDS"
    after="$(cpu_ticks "$pid")"; t1="$(now_ns)"
    awk -v d=$((after - before)) -v hz="$ticks_per_second" -v ns=$((t1 - t0)) \
        'BEGIN { printf "%.2f", 100 * d / hz / (ns / 1e9) }'
}

under_x() {
    local program="$1" runs="$2" work="$3"
    local times=() i pid start shown

    # 1. Time to the introduction window.
    for i in $(seq 1 "$runs"); do
        start="$(now_ns)"
        "$program" >/dev/null 2>&1 &
        pid=$!
        while [ -z "$(find_window "$INTRO_TITLE")" ]; do
            kill -0 "$pid" 2>/dev/null || { echo "letro ended before showing its window" >&2; exit 1; }
        done
        shown="$(now_ns)"
        times+=($(( (shown - start) / 1000000 )))
        "$work/close-window" "$(find_window "$INTRO_TITLE")"
        wait_for_exit "$pid"
        wait "$pid" || true
        sleep 0.2
    done
    local sorted
    sorted="$(printf '%s\n' "${times[@]}" | sort -n)"
    echo "first window (ms), $runs runs: $(printf '%s ' "${times[@]}")"
    echo "first_window_median_ms=$(sed -n "$(( (runs + 1) / 2 ))p" <<<"$sorted")" >>"$work/results"
    echo "first_window_best_ms=$(head -n 1 <<<"$sorted")" >>"$work/results"

    # 2. One run under /usr/bin/time: idle processor in both windows, then the
    # peak memory of the whole run.
    /usr/bin/time -v -o "$work/time.txt" "$program" >/dev/null 2>"$work/letro.log" &
    local timer=$!
    local intro
    intro="$(wait_for_window "$INTRO_TITLE")" || { cat "$work/letro.log"; exit 1; }
    pid="$(cat "/proc/$timer/task/$timer/children" | awk '{print $1}')"
    sleep 1
    echo "intro_idle_cpu_percent=$(idle_cpu "$pid")" >>"$work/results"
    xdotool windowfocus --sync "$intro" 2>/dev/null || true
    xdotool key --clearmodifiers space
    local main
    main="$(wait_for_window "$MAIN_TITLE")" || { cat "$work/letro.log"; exit 1; }
    sleep 1
    echo "main_idle_cpu_percent=$(idle_cpu "$pid")" >>"$work/results"
    "$work/close-window" "$main"
    wait "$timer" || { cat "$work/time.txt" "$work/letro.log"; exit 1; }
    local kb
    kb="$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$work/time.txt")"
    echo "peak_memory_mb=$(awk -v kb="$kb" 'BEGIN { printf "%.1f", kb / 1024 }')" >>"$work/results"
}

if [ "${1:-}" = "--under-x" ]; then
    under_x "$2" "$3" "$4"
    exit 0
fi

program="$(readlink -f "${1:-$BUILD_DIR/program/letro}")"
runs="${2:-7}"
[ -x "$program" ] || { echo "no program at $program (build first)" >&2; exit 1; }
for tool in xvfb-run xdotool cc /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/close-window" "$here/scripts/close-window.c" -lX11
: >"$work/results"

echo "Letro start-up benchmark: $program"
xvfb-run -a -s "-screen 0 1280x1024x24" bash "${BASH_SOURCE[0]}" --under-x "$program" "$runs" "$work"

# shellcheck disable=SC1091
source "$work/results"
verdict() { awk -v v="$1" -v g="$2" 'BEGIN { print (v < g) ? "ok" : "MISSED" }'; }
printf '%-36s %8s   goal %-8s %s\n' \
    "first window, median (best $first_window_best_ms)" "$first_window_median_ms ms" "< 150" \
        "$(verdict "$first_window_median_ms" 150)" \
    "peak memory" "$peak_memory_mb MB" "< 60" "$(verdict "$peak_memory_mb" 60)" \
    "processor, introduction window" "$intro_idle_cpu_percent %" "< 2" \
        "$(verdict "$intro_idle_cpu_percent" 2)" \
    "processor, main window" "$main_idle_cpu_percent %" "< 2" "$(verdict "$main_idle_cpu_percent" 2)"
