#!/usr/bin/env bash
# Builds Letro and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs the tests (all but the end-to-end ones, which need an X server and
# a sound server of their own). Any sanitizer report, leak included, fails.
#
#   LETRO_ASAN_BUILD_DIR  build folder (default: build-asan beside build/)
#   LETRO_SOAK_EVENTS     events of the soak test (default here 20000)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ -n "${LETRO_ASAN_BUILD_DIR:-}" ]; then
    build="$LETRO_ASAN_BUILD_DIR"
elif [ -n "${LETRO_BUILD_DIR:-}" ]; then
    build="${LETRO_BUILD_DIR%/}-asan"
else
    build="$here/build-asan"
fi
jobs="$(nproc 2>/dev/null || echo 2)"

start=$(date +%s)
# The shipped recordings are not needed here: tests bring their own folders.
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
    -DLETRO_SANITIZE=ON -DLETRO_RECORDINGS=OFF >/dev/null
cmake --build "$build" -j "$jobs"
built=$(date +%s)
echo "check-sanitizers: built in $(( built - start )) s"

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:print_stacktrace=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$here/scripts/lsan-suppressions.txt:print_suppressions=0"
export LETRO_SOAK_EVENTS="${LETRO_SOAK_EVENTS:-20000}"

status=0
# The end-to-end runs (e2e_*, and the accessibility run a11y_*) start the
# real program on an X server; there the X keyboard library's own string
# reads trip ASan before Letro's code runs, so they run in the normal build.
(cd "$build" && ctest --output-on-failure -j "$jobs" -E 'e2e|a11y' --timeout 900) || status=1
echo "check-sanitizers: tests ran in $(( $(date +%s) - built )) s"
exit $status
