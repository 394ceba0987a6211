#!/usr/bin/env bash
# The C and C++ sources follow the repository's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=()
while IFS= read -r file; do
    if ! clang-format --style=file "$file" | cmp -s - "$file"; then
        bad+=("$file")
    fi
done < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tests/*.c' 'scripts/*.c')
if [ ${#bad[@]} -ne 0 ]; then
    echo "check-format: not formatted with clang-format (run: clang-format -i <file>):"
    printf '  %s\n' "${bad[@]}"
    exit 1
fi
echo "check-format: OK"
