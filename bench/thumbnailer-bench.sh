#!/usr/bin/env bash
# glimmerbox-thumbnailer against the thumbnailer of the Python peer
# icoextract (Debian icoextract, exe-thumbnailer) on the same files:
#   1. hyperfine, warm cache: each thumbnailer run once per file of a sample
#      of PE files from the corpus that hold an icon (icoextract reads PE
#      files only), at -s 256, then at -s 128;
#   2. the two thumbnails of every sample file compared: the same size, and
#      how close the pixels are (bench/compare-thumbnails.py).
# Results are kept in build/bench/results/thumbnailer-*.
#
#   bench/thumbnailer-bench.sh               100 files, 5 runs after a warm-up
#   FILES=300 RUNS=10 bench/thumbnailer-bench.sh
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
# shellcheck source=scripts/packages.sh
. scripts/packages.sh
# shellcheck disable=SC2086 # the lists are meant to split into names
gb_install_packages $GB_BUILD_PACKAGES $GB_BENCH_PACKAGES

files="${FILES:-100}"
runs="${RUNS:-5}"
build="$root/build/bench"
results="$build/results"
cli="$build/bin/glimmerbox-cli"
ours="$build/bin/glimmerbox-thumbnailer"
# Debian installs the module but not its exe-thumbnailer entry point.
peer="$root/bench/icoextract-thumbnailer.sh"

echo "== Build (preset bench: the two programs only)"
cmake --preset bench >/dev/null
cmake --build --preset bench --target glimmerbox-thumbnailer glimmerbox-cli
mkdir -p "$results"
bench/gather-corpus.sh "$cli" >/dev/null

work="$(mktemp -d "${TMPDIR:-/tmp}/glimmerbox-thumbs.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cd "$root/corpus"

# The sample: every k-th PE file whose first icon glimmerbox-cli lists.
awk -F'\t' '$2 == "pe32" || $2 == "pe32+" { print $1 }' kinds.tsv >"$work/pe.txt"
xargs -d '\n' -a "$work/pe.txt" "$cli" list 2>/dev/null | sed -n 's/(0)\t.*$//p' >"$work/with-icon.txt"
total="$(wc -l <"$work/with-icon.txt")"
step=$(((total + files - 1) / files))
awk -v step="$step" -v max="$files" 'NR % step == 1 || step == 1 { if (n++ < max) print }' \
    "$work/with-icon.txt" >"$work/sample.txt"
sample="$(wc -l <"$work/sample.txt")"
echo "== Sample: $sample of $total PE files with an icon"

for size in 256 128; do
    echo
    echo "== hyperfine, -s $size, $sample files per run"
    loop='while IFS= read -r f; do "$0" -s '"$size"' "$f" "$1" || true; done <"$2"'
    hyperfine --warmup 1 --runs "$runs" --export-json "$results/thumbnailer-$size.json" \
        -n glimmerbox-thumbnailer "bash -c '$loop' '$ours' '$work/ours.png' '$work/sample.txt'" \
        -n icoextract "bash -c '$loop' '$peer' '$work/peer.png' '$work/sample.txt'"
    /usr/bin/python3 - "$results/thumbnailer-$size.json" "$sample" <<'PY' | tee "$results/thumbnailer-$size.txt"
import json, sys
runs = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
n = int(sys.argv[2])
ours, peer = runs["glimmerbox-thumbnailer"]["mean"], runs["icoextract"]["mean"]
print(f"per file: glimmerbox-thumbnailer {ours / n * 1000:.2f} ms, icoextract {peer / n * 1000:.1f} ms, "
      f"{peer / ours:.0f}x faster")
# CPU time (user + system) counts only the work done, not the waiting on a
# busy machine.
cpu = {k: r["user"] + r["system"] for k, r in runs.items()}
ours, peer = cpu["glimmerbox-thumbnailer"], cpu["icoextract"]
print(f"CPU per file: glimmerbox-thumbnailer {ours / n * 1000:.2f} ms, icoextract {peer / n * 1000:.1f} ms, "
      f"{peer / ours:.0f}x less")
PY

    echo "== Same image chosen, -s $size"
    i=0
    while IFS= read -r f; do
        i=$((i + 1))
        "$ours" -s "$size" "$f" "$work/$i-$size-a.png" 2>/dev/null || true
        "$peer" -s "$size" "$f" "$work/$i-$size-b.png" 2>/dev/null || true
        printf '%s\t%s\t%s\n' "$f" "$work/$i-$size-a.png" "$work/$i-$size-b.png"
    done <"$work/sample.txt" >"$work/pairs-$size.tsv"
    /usr/bin/python3 "$root/bench/compare-thumbnails.py" "$work/pairs-$size.tsv" |
        tee "$results/thumbnailer-compare-$size.txt"
done
