#!/usr/bin/env bash
# A second copy of glimmerbox ends at once, silently, while the first runs.
#   second-copy-exits.sh GLIMMERBOX
set -u
program=$1
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS=detect_leaks=0
"$program" >/dev/null 2>&1 &
first=$!
sleep 2
if ! kill -0 "$first" 2>/dev/null; then
    echo "the first copy did not keep running"
    exit 1
fi
start=$(date +%s)
timeout 10 "$program" >/dev/null 2>&1
status=$?
kill "$first"
wait "$first" 2>/dev/null
rm -rf "$XDG_RUNTIME_DIR"
if [ $status -ne 0 ]; then
    echo "the second copy ended with status $status (124 means it kept running)"
    exit 1
fi
echo "the second copy ended at once with status 0 after $(( $(date +%s) - start )) s"
