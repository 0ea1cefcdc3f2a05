#!/usr/bin/env bash
# The layers stay apart: no Qt header outside src/gui/ and the desktop
# program, and the core includes nothing of the layers above it (the
# converter library's C header included: its statuses map onto the core's);
# within the core, its folders include each other in one direction only.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
qt=$(git ls-files -- 'src/*.cpp' 'src/*.h' ':!src/gui/*' ':!src/programs/glimmerbox/*' |
     xargs -r grep -nE '^\s*#\s*include\s*<Q[A-Za-z]*(/|>)' || true)
if [ -n "$qt" ]; then
    echo "Qt headers outside src/gui/ and the desktop program:" >&2
    echo "$qt" >&2
    status=1
fi
up=$(git ls-files -- 'src/core/*.cpp' 'src/core/*.h' |
     xargs -r grep -nE '^\s*#\s*include\s*"(gui|system|programs|libconvert)/' || true)
if [ -n "$up" ]; then
    echo "The core includes a layer above it:" >&2
    echo "$up" >&2
    status=1
fi

# The core's folders, each above the ones before it: a folder includes only
# folders listed before it, so they form no loop. A new folder is placed here.
core_order=(text pixels jobs files bytes hash paths version icons imagefiles cursors capture containers
            shortcuts wine catalogue sources cursortheme search export launcher convert)
declare -A rank
for i in "${!core_order[@]}"; do rank[${core_order[$i]}]=$i; done
for dir in src/core/*/; do
    folder=$(basename "$dir")
    if [ -z "${rank[$folder]+set}" ]; then
        echo "src/core/$folder/ has no place in the core's folder order (scripts/check-layers.sh)" >&2
        status=1
        continue
    fi
done
while IFS=: read -r file line used; do
    folder=${file#src/core/}
    folder=${folder%%/*}
    [ -n "${rank[$folder]+set}" ] && [ -n "${rank[$used]+set}" ] || continue
    if [ "$used" != "$folder" ] && [ "${rank[$used]}" -gt "${rank[$folder]}" ]; then
        echo "$file:$line: core/$folder includes core/$used, which lies above it" >&2
        status=1
    fi
done < <(git ls-files -- 'src/core/*.cpp' 'src/core/*.h' |
         xargs -r grep -nE '^\s*#\s*include\s*"core/[a-z_]+/' |
         sed -E 's|^([^:]+):([0-9]+):.*"core/([a-z_]+)/.*|\1:\2:\3|')
exit $status
