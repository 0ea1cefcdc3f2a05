#!/usr/bin/env bash
# Builds the benchmarks, gathers the corpus and measures glimmerbox-cli:
#   1. Google Benchmark (bench/icon_bench.cpp) over the corpus and on
#      single images;
#   2. hyperfine, warm cache, on the same files:
#        a) glimmerbox-cli export --size 32 --format png
#        b) icoutils: wrestool -x -t14, then icotool -x -w 32 -h 32
#           (bench/icoutils-pipeline.sh)
#        c) cat of every file to /dev/null
#   3. the peak memory (max RSS) of (a), with GNU time;
#   4. the main window: a search over 10,000 files against glimmerbox-cli
#      list, the longest event-loop block, memory with 100,000 icons;
#   5. every batch save of 10,000 icons, and glimmerbox-cli export of the
#      same icons against the window's batch of them (bench/batch_bench);
#   6. the window's search of 100,000 files under Xvfb with the
#      accessibility bus off and on, each against glimmerbox-cli list of the
#      same tree (bench/window-accessibility-bench.sh).
# Results are kept in build/bench/results/. Takes a few minutes.
#
#   bench/run-bench.sh            everything
#   RUNS=10 bench/run-bench.sh    more hyperfine runs (default 5, after 2 warm-ups)
#   OUT_BASE=/dev/shm bench/run-bench.sh   outputs in memory rather than in $TMPDIR
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
# shellcheck source=scripts/packages.sh
. scripts/packages.sh
# shellcheck disable=SC2086 # the lists are meant to split into names
gb_install_packages $GB_BUILD_PACKAGES $GB_BENCH_PACKAGES time

runs="${RUNS:-5}"
build="$root/build/bench"
results="$build/results"
cli="$build/bin/glimmerbox-cli"
corpus="$root/corpus"

echo "== Build (preset bench)"
cmake --preset bench >/dev/null
cmake --build --preset bench
mkdir -p "$results"

echo
echo "== Corpus"
bench/gather-corpus.sh "$cli" | tee "$results/corpus.txt"

echo
echo "== Google Benchmark"
"$build/bin/icon_bench" --corpus="$corpus" \
    --benchmark_out="$results/icon_bench.json" --benchmark_out_format=json |
    tee "$results/icon_bench.txt"

# Every command below runs in corpus/ on the paths of files.txt. xargs gets
# room enough to pass the whole list to one glimmerbox-cli run (its output
# files are numbered within one run).
cd "$corpus"
list="files.txt"
# Outputs go to $TMPDIR (or /tmp); OUT_BASE=/dev/shm puts them in memory,
# which leaves out the file system's cost of making the output files.
out_base="${OUT_BASE:-${TMPDIR:-/tmp}}"
out="$(mktemp -d "$out_base/glimmerbox-bench.XXXXXX")"
trap 'rm -rf "$out"' EXIT
xa="xargs -d '\n' -s 1048576 -a $list"
cmd_gb="$xa '$cli' export --size 32 --format png --out '$out/gb' >/dev/null"
cmd_icoutils="'$root/bench/icoutils-pipeline.sh' $list '$out/icoutils'"
cmd_cat="$xa cat >/dev/null"

echo
echo "== hyperfine (warm cache, --warmup 2, --runs $runs)"
# Each run starts with no output left from the one before, and with the
# writes of the one before on disk, so that no run pays for another's.
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg); output in $out_base"
hyperfine --warmup 2 --runs "$runs" --ignore-failure \
    --prepare "rm -rf '$out/gb'; sync" \
    --prepare "rm -rf '$out/icoutils'; sync" \
    --prepare "sync" \
    --export-csv "$results/hyperfine.csv" --export-markdown "$results/hyperfine.md" \
    -n glimmerbox-cli "$cmd_gb" \
    -n icoutils "$cmd_icoutils" \
    -n cat "$cmd_cat"

# What each side wrote in its last run: glimmerbox-cli one PNG per icon,
# icotool one PNG per 32x32 image of each icon it could read.
gb_pngs=$(find "$out/gb" -name '*.png' | wc -l)
ico_pngs=$(find "$out/icoutils/png" -name '*.png' | wc -l)
ico_icons=$(find "$out/icoutils/png" -name '*.png' -printf '%h/%f\n' |
    sed -E 's/_[0-9]+_[0-9]+x[0-9]+x[0-9]+\.png$//' | sort -u | wc -l)
echo "glimmerbox-cli wrote $gb_pngs PNG files (one per icon)"
echo "icoutils wrote $ico_pngs PNG files for the $ico_icons icons icotool could read"

echo
echo "== Peak memory of glimmerbox-cli export (GNU time -v, 3 runs)"
# time runs inside xargs, so that it measures glimmerbox-cli alone.
peak=0
for _ in 1 2 3; do
    rm -rf "$out/gb"
    xargs -d '\n' -s 1048576 -a "$list" /usr/bin/time -v -o "$out/time.txt" \
        "$cli" export --size 32 --format png --out "$out/gb" >/dev/null || true
    kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$out/time.txt")
    [ "$kb" -gt "$peak" ] && peak=$kb
done
cp "$out/time.txt" "$results/time-v.txt"
echo "max RSS: $peak KB ($(awk -v k="$peak" 'BEGIN {printf "%.1f", k / 1024}') MB)" |
    tee "$results/peak-rss.txt"

echo
echo "== Summary"
mean() { awk -F, -v n="$1" '$1 == n {print $2}' "$results/hyperfine.csv"; }
a=$(mean glimmerbox-cli)
b=$(mean icoutils)
c=$(mean cat)
awk -v a="$a" -v b="$b" -v c="$c" -v rss="$peak" -v gb="$gb_pngs" 'BEGIN {
    printf "glimmerbox-cli export: %8.3f s  (%d icons)\n", a, gb
    printf "icoutils pipeline:     %8.3f s\n", b
    printf "cat > /dev/null:       %8.3f s\n", c
    printf "a/b (glimmerbox-cli / icoutils) = %.3f  -> %.1fx faster (target: at least 20x)\n", a / b, b / a
    printf "a/c (glimmerbox-cli / cat)      = %.3f  -> %.2fx faster (target: above 1x)\n", a / c, c / a
    printf "peak RSS of glimmerbox-cli      = %.1f MB (target: under 64 MB)\n", rss / 1024
}' | tee "$results/summary.txt"

echo
echo "== The main window under load (offscreen, 10,000 files, then 100,000 icons)"
(cd "$build" && ./bin/window_bench "$corpus/files.txt" "$cli" 10000) 2>&1 | grep -v XDG_RUNTIME |
    tee "$results/window.txt"

echo
echo "== Batch saves of 10,000 icons, then glimmerbox-cli export of the same icons"
(cd "$build" && ./bin/batch_bench 10000 "$cli") | tee "$results/batch.txt"

echo
RUNS=1 "$root/bench/window-accessibility-bench.sh" "$corpus/files.txt" 100000
