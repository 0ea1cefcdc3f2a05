#!/usr/bin/env bash
# Searching a disk image against searching its unpacked copy: the corpus
# (bench/gather-corpus.sh) put on an ISO 9660 image with xorriso, then
#   1. hyperfine, warm cache: glimmerbox-cli list --archives of the image
#      against glimmerbox-cli list of the unpacked folder, both with
#      --recursive and the pattern "*.*" (every file read for icons);
#   2. GNU time: the largest resident memory of each;
#   3. the lines of both, with the image's "IMAGE//" prefix taken off,
#      compared: the same icons, drawn the same.
# Results are kept in build/bench/results/containers-*.
#
#   bench/container-bench.sh            5 runs after a warm-up
#   RUNS=10 bench/container-bench.sh
set -euo pipefail

# shellcheck source=bench/build-cli.sh
. "$(dirname "$0")/build-cli.sh" xorriso time

runs="${RUNS:-5}"
bench/gather-corpus.sh "$cli" >/dev/null

work="$(mktemp -d "${TMPDIR:-/tmp}/glimmerbox-containers.XXXXXX")"
trap 'rm -rf "$work"' EXIT
image="$work/corpus.iso"
# Rock Ridge keeps the names as they are; -J adds Joliet for Windows.
xorriso -as mkisofs -quiet -R -J -o "$image" "$root/corpus/files"
echo "== Image: $(du -h "$image" | cut -f1), $(find "$root/corpus/files" -type f | wc -l) files"

echo
echo "== hyperfine"
hyperfine --warmup 1 --runs "$runs" --export-json "$results/containers.json" \
    -n "image (--archives)" "'$cli' list --archives --recursive --pattern '*.*' '$image'" \
    -n "unpacked folder" "'$cli' list --recursive --pattern '*.*' '$root/corpus/files'" |
    tee "$results/containers.txt"

echo
echo "== Largest resident memory (GNU time)"
for what in image folder; do
    if [ "$what" = image ]; then args=(--archives "$image"); else args=("$root/corpus/files"); fi
    /usr/bin/time -f "$what: %M KiB, %e s" "$cli" list --recursive --pattern '*.*' "${args[@]}" \
        >"$work/$what.txt" 2>"$work/$what.err" || true
    tail -n 1 "$work/$what.err" | tee -a "$results/containers.txt"
done

# The same icons: the image's keys name IMAGE//PATH, the folder's FOLDER/PATH.
sed "s#^$image//##" "$work/image.txt" | LC_ALL=C sort >"$work/image.sorted"
sed "s#^$root/corpus/files/##" "$work/folder.txt" | LC_ALL=C sort >"$work/folder.sorted"
if cmp -s "$work/image.sorted" "$work/folder.sorted"; then
    echo "Same $(wc -l <"$work/image.sorted") icons, drawn alike, in the image and the folder." |
        tee -a "$results/containers.txt"
else
    echo "The image and the folder differ:" >&2
    diff "$work/image.sorted" "$work/folder.sorted" | head -20 >&2
    exit 1
fi
