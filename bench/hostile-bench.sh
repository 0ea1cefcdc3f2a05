#!/usr/bin/env bash
# Archives whose headers declare more than any reader should hold, searched
# by glimmerbox-cli list --archives (optimised build), with GNU time's
# largest resident memory (the program and its archive reader processes)
# and the time taken:
#   header_bomb.7z       an LZMA-encoded 7z header declaring COUNT files
#   sparse_bomb.tar.xz   a tar member whose sparse map declares COUNT pieces
# each followed on the same command line by a zip that must still be read.
# The archives come from the test tree's generator
# (tests/fixtures/containers/make_header_bombs.cpp). Results are kept in
# build/bench/results/hostile.txt.
#
#   bench/hostile-bench.sh                 COUNT 10^6 and 10^8
#   COUNTS="100000000" bench/hostile-bench.sh
set -euo pipefail

# shellcheck source=scripts/packages.sh
. "$(dirname "$0")/../scripts/packages.sh" # for the test packages named below
# shellcheck source=bench/build-cli.sh disable=SC2086
. "$(dirname "$0")/build-cli.sh" $GB_TEST_PACKAGES time

counts="${COUNTS:-1000000 100000000}"

echo "== Build (preset test: the generator and a zip)"
cmake --preset test >/dev/null
cmake --build --preset test --target gb_make_header_bombs gb_fixtures
zip="$root/build/test/fixtures/containers/setup.zip"
[ -f "$zip" ] || zip="$(find "$root/build/test" -name setup.zip -path '*containers*' | head -n 1)"

work="$(mktemp -d "${TMPDIR:-/tmp}/glimmerbox-hostile.XXXXXX")"
trap 'rm -rf "$work"' EXIT
{
    echo "| Archive | Declared | Size | Largest resident memory | Time | What the search says |"
    echo "| --- | ---: | ---: | ---: | ---: | --- |"
} >"$results/hostile.txt"
for count in $counts; do
    mkdir -p "$work/$count"
    build/test/bin/gb_make_header_bombs "$work/$count" "$count"
    for name in header_bomb.7z sparse_bomb.tar.xz; do
        file="$work/$count/$name"
        /usr/bin/time -f "%M %e" -o "$work/time" "$cli" list --archives "$file" "$zip" \
            >"$work/out" 2>"$work/err" || true
        read -r kib seconds <"$work/time"
        said="$(grep -F "$name" "$work/err" | head -n 1 | sed "s#^.*$name: ##")"
        icons="$(wc -l <"$work/out")"
        printf '| %s | %s | %s | %s MB | %s s | %s; the zip after it: %s icons |\n' \
            "$name" "$count" "$(du -h "$file" | cut -f1)" "$((kib / 1024))" "$seconds" "$said" "$icons" |
            tee -a "$results/hostile.txt"
    done
done
