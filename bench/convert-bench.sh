#!/usr/bin/env bash
# Times libconvert.so against libjpeg-turbo's cjpeg and djpeg on a
# 4000 × 3000 24-bit BMP made for the purpose (smooth light, waves of detail
# and noise), warm cache, with hyperfine:
#   a) BMP -> JPEG: convert_bench bmptojpg (libconvert.so)  vs  cjpeg -quality Q
#   b) JPEG -> BMP: convert_bench jpgtobmp (libconvert.so)  vs  djpeg -bmp
# and checks that both sides wrote the same JPEG. Results in
# build/bench/results/convert-*.
#
#   bench/convert-bench.sh                 quality 75, 10 runs
#   QUALITY=90 RUNS=20 bench/convert-bench.sh
#   BUILD=build/mine bench/convert-bench.sh   another build folder than the bench preset's
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
# shellcheck source=scripts/packages.sh
. scripts/packages.sh
# shellcheck disable=SC2086 # the lists are meant to split into names
gb_install_packages $GB_BUILD_PACKAGES $GB_BENCH_PACKAGES

quality="${QUALITY:-75}"
runs="${RUNS:-10}"
build="${BUILD:-build/bench}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
results="$root/build/bench/results"
mkdir -p "$results"

echo "== Build ($build)"
if [ "$build" = "$root/build/bench" ]; then
    cmake --preset bench >/dev/null
else
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLIMMERBOX_BENCH=ON -DGLIMMERBOX_GUI=OFF >/dev/null
fi
cmake --build "$build" --target convert_bench gb_libconvert
tool="$build/bin/convert_bench"

work="$(mktemp -d "${TMPDIR:-/tmp}/glimmerbox-convert-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
"$tool" make-bmp 4000 3000 "$work/in.bmp"
"$tool" bmptojpg "$work/in.bmp" "$work/in.jpg" "$quality"
echo "input: 4000x3000 24-bit BMP, $(stat -c %s "$work/in.bmp") bytes; JPEG at quality $quality: $(stat -c %s "$work/in.jpg") bytes"

echo
echo "== Same output?"
cjpeg -quality "$quality" -outfile "$work/cjpeg.jpg" "$work/in.bmp"
if cmp -s "$work/in.jpg" "$work/cjpeg.jpg"; then
    echo "libconvert and cjpeg wrote byte-identical JPEG files" | tee "$results/convert-same-output.txt"
else
    echo "libconvert and cjpeg wrote different JPEG files" | tee "$results/convert-same-output.txt"
fi

echo
echo "== hyperfine (warm cache, --warmup 2, --runs $runs); load average: $(cut -d' ' -f1-3 /proc/loadavg)"
hyperfine --warmup 2 --runs "$runs" \
    --export-csv "$results/convert-hyperfine.csv" --export-markdown "$results/convert-hyperfine.md" \
    -n "libconvert bmptojpg" "'$tool' bmptojpg '$work/in.bmp' '$work/a.jpg' $quality" \
    -n "cjpeg" "cjpeg -quality $quality -outfile '$work/b.jpg' '$work/in.bmp'" \
    -n "libconvert jpgtobmp" "'$tool' jpgtobmp '$work/in.jpg' '$work/a.bmp'" \
    -n "djpeg -bmp" "djpeg -bmp -outfile '$work/b.bmp' '$work/in.jpg'"

echo
echo "== Summary"
mean() { awk -F, -v n="$1" '$1 == n {print $2}' "$results/convert-hyperfine.csv"; }
awk -v a="$(mean 'libconvert bmptojpg')" -v b="$(mean cjpeg)" \
    -v c="$(mean 'libconvert jpgtobmp')" -v d="$(mean 'djpeg -bmp')" 'BEGIN {
    printf "BMP -> JPEG: libconvert %.3f s, cjpeg %.3f s: %.2fx cjpeg'\''s time (target: at most 1.2x)\n", a, b, a / b
    printf "JPEG -> BMP: libconvert %.3f s, djpeg %.3f s: %.2fx djpeg'\''s time\n", c, d, c / d
}' | tee "$results/convert-summary.txt"
