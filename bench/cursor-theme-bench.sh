#!/usr/bin/env bash
# A whole cursor theme from a Windows cursor pack, against the pipeline a
# user would otherwise script (icoutils' icotool and x11-apps' xcursorgen,
# bench/xcursorgen-pipeline.sh), in one run on one pack: 17 roles named as
# packs name them, 11 static cursors (32x32 and 16x16 images) and 6
# animated ones (two frames, four steps), made by the test fixtures' own
# generator. Each run writes the theme into an empty folder; hyperfine runs
# them side by side: cursor-theme as it is by default (the stored 16 and 32,
# and 24 and 48 made from them) and with the stored sizes alone, which is
# what the pipeline makes. Results are kept in build/bench/results/cursor-theme-*.
#
#   bench/cursor-theme-bench.sh            20 runs after a warm-up
#   RUNS=50 bench/cursor-theme-bench.sh
#   OUT=/dev/shm bench/cursor-theme-bench.sh   themes written to memory, no disk sync
set -euo pipefail

# shellcheck source=bench/build-cli.sh
. "$(dirname "$0")/build-cli.sh" x11-apps

runs="${RUNS:-20}"

work="$(mktemp -d "${TMPDIR:-/tmp}/glimmerbox-cursor-theme.XXXXXX")"
trap 'rm -rf "$work"' EXIT
out="$(mktemp -d "${OUT:-$work}/themes.XXXXXX")"
trap 'rm -rf "$work" "$out"' EXIT

echo "== The pack"
# The fixtures' generator is header-only: compiled here, it writes the
# cursor files the tests use.
g++ -std=c++23 -O1 -I tests -I src tests/fixtures/make_cursor_fixtures.cpp -o "$work/make_cursor_fixtures"
"$work/make_cursor_fixtures" "$work/fixtures" "$work/parts"
mkdir -p "$work/pack"
i=0
for name in "Normal Select" "Help Select" "Working in Background" "Busy" "Precision Select" "Text Select" \
    "Handwriting" "Unavailable" "Vertical Resize" "Horizontal Resize" "Diagonal Resize 1" \
    "Diagonal Resize 2" "Move" "Alternate Select" "Link Select" "Location Select" "Person Select"; do
    if [ $((i % 3)) = 2 ]; then
        cp "$work/fixtures/cursors/sequenced.ani" "$work/pack/$name.ani"
    else
        cp "$work/fixtures/cursors/arrow.cur" "$work/pack/$name.cur"
    fi
    i=$((i + 1))
done
# The links the pipeline makes: the same as cursor-theme's.
"$cli" cursor-theme "$work/pack" --name Links --out "$work" >/dev/null
find "$work/Links/cursors" -type l -printf '%l %f\n' > "$work/links.txt"

echo "== cursor-theme against icotool + xcursorgen ($runs runs each)"
# Each command is started directly (-N), not through a shell: a theme takes
# a few milliseconds, and a shell's start, even subtracted, would blur them.
hyperfine -N --warmup 2 --runs "$runs" --export-markdown "$results/cursor-theme.md" \
    --prepare "rm -rf '$out/Glass' '$out/Stored' '$out/Pipeline'" \
    -n "glimmerbox-cli cursor-theme" "'$cli' cursor-theme '$work/pack' --name Glass --out '$out'" \
    -n "glimmerbox-cli cursor-theme --sizes 16,32" \
    "'$cli' cursor-theme '$work/pack' --name Stored --out '$out' --sizes 16,32" \
    -n "icotool -x + xcursorgen" "bench/xcursorgen-pipeline.sh '$work/pack' '$work/links.txt' '$out/Pipeline'"
cat "$results/cursor-theme.md"
