#!/usr/bin/env bash
# The C and C++ sources follow the repository's .clang-format, as clang-format
# 19 lays them out: one version that Debian 12 and 13 both ship, since each
# version lays out some code differently. ./build.sh test installs it.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=clang-format-19
command -v "$formatter" >/dev/null || { echo "check-format: $formatter is missing (./build.sh test installs it)"; exit 1; }
bad=()
while IFS= read -r file; do
    if ! "$formatter" --style=file "$file" | cmp -s - "$file"; then
        bad+=("$file")
    fi
done < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tests/*.c' 'scripts/*.c')
if [ ${#bad[@]} -ne 0 ]; then
    echo "check-format: not formatted with $formatter (run: $formatter -i <file>):"
    printf '  %s\n' "${bad[@]}"
    exit 1
fi
echo "check-format: OK ($formatter)"
