#!/usr/bin/env bash
# The layers stay apart: no Qt header outside src/gui/ and the desktop
# program, and the core includes nothing of the layers above it (the
# converter library's C header included: its statuses map onto the core's).
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
exit $status
