#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over every source file of the
# core and of the system layer that a build compiles, as that build compiles
# them (its compile_commands.json), on every processor. Any finding fails the
# run (WarningsAsErrors). ./test.sh gives it the test build, which it has
# configured anyway, so the core is not built a second time for it.
# Usage: scripts/run-clang-tidy.sh [build folder, default build/test]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/test}
tidy=${CLANG_TIDY:-clang-tidy-16}

if [ ! -f "$build/compile_commands.json" ]; then
    echo "No $build/compile_commands.json: configure that build first (cmake --preset test)." >&2
    exit 1
fi

root=$(pwd)
files=$(grep -o '"file": "[^"]*"' "$build/compile_commands.json" | cut -d'"' -f4 |
        grep -E "^$root/src/(core|system)/" | sort -u)
if [ -z "$files" ]; then
    echo "$build/compile_commands.json names no file of src/core or src/system." >&2
    exit 1
fi

# Each file's report is printed whole once it is done, so reports of files
# checked side by side do not interleave; only files with findings print.
check() {
    # The compile commands are g++'s: clang 16 spells the standard c++2b
    # rather than c++23, and takes the flags the fuzz build takes
    # (cmake/clang16-expected.cfg says why). The build's -Werror is g++'s:
    # clang's own warnings differ, and only the checks of .clang-tidy judge
    # the code here.
    local out
    if ! out=$("$tidy" --quiet -p "$build" \
                   --extra-arg=-std=c++2b \
                   --extra-arg=-Wno-error \
                   --extra-arg="--config=$root/cmake/clang16-expected.cfg" \
                   "$1" 2>&1); then
        # "N warnings generated" counts what is hidden in library headers.
        printf '%s\n' "$out" | grep -vE '^[0-9]+ warnings?( and [0-9]+ errors?)? generated\.$' >&2
        return 1
    fi
}
export -f check
export tidy build root

status=0
printf '%s\n' "$files" | xargs -r -P "$(nproc)" -I{} bash -c 'check "$1"' _ {} || status=1
if [ $status -ne 0 ]; then
    echo "clang-tidy found problems (checks: .clang-tidy)." >&2
fi
exit $status
