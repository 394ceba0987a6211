#!/usr/bin/env bash
# Fuzzes the exercise-file reader and the mistake classification with
# libFuzzer (clang), each for a fixed time on a copy of the seed corpus in
# tests/fuzz/corpus. Any crash, sanitizer report, leak or slow input fails.
#
#   LETRO_FUZZ_BUILD_DIR  build folder (default: build-fuzz beside build/)
#   LETRO_FUZZ_SECONDS    seconds per target (default 60)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ -n "${LETRO_FUZZ_BUILD_DIR:-}" ]; then
    build="$LETRO_FUZZ_BUILD_DIR"
elif [ -n "${LETRO_BUILD_DIR:-}" ]; then
    build="${LETRO_BUILD_DIR%/}-fuzz"
else
    build="$here/build-fuzz"
fi
seconds="${LETRO_FUZZ_SECONDS:-60}"
targets=(reader classify)

command -v clang++ >/dev/null || { echo "check-fuzz: clang++ is not installed" >&2; exit 1; }

start=$(date +%s)
# The fuzz folder is a project of its own: only Qt Core and the sources under test.
CC=clang CXX=clang++ cmake -S "$here/tests/fuzz" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLETRO_FUZZ=ON >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target "${targets[@]/#/fuzz_}"
echo "check-fuzz: built in $(( $(date +%s) - start )) s"

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:print_stacktrace=1:abort_on_error=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0
for target in "${targets[@]}"; do
    corpus="$work/corpus-$target"
    mkdir -p "$corpus"
    cp "$here/tests/fuzz/corpus/$target/"* "$corpus/"
    log="$work/$target.log"
    echo "== fuzz_$target: ${seconds} s on a copy of $(ls "$corpus" | wc -l) seed inputs"
    # Crash reproducers are written into the scratch folder, never the repository.
    if (cd "$work" && "$build/fuzz_$target" -max_total_time="$seconds" -timeout=5 \
            -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/$target-" \
            "$corpus") >"$log" 2>&1; then
        result=passed
    else
        result=FAILED
        status=1
        tail -n 60 "$log"
        for artifact in "$work/$target-"*; do
            [ -e "$artifact" ] || continue
            echo "reproducer $(basename "$artifact"):"
            od -A x -t x1z "$artifact" | head -n 20
        done
    fi
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    echo "fuzz_$target: $result, ${execs:-?} executions (${rate:-?}/s), corpus $(ls "$corpus" | wc -l) inputs"
done
echo "check-fuzz: $(( $(date +%s) - start )) s in all"
exit $status
