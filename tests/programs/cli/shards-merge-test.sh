#!/usr/bin/env bash
# A collection listed in shards by GNU parallel, each shard a glimmerbox-cli
# of its own reading its names from standard input, gives, joined in order,
# the very JSON one run over the whole collection gives.
set -euo pipefail
cli=$1 tree=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A name with a line break in it travels too: that is what -0 is for.
mkdir -p "$work/odd"
cp "$tree/depth32.ico" "$work/odd/two"$'\n'"lines.ico"
{ find "$tree" "$work/odd" -type f -print0 | sort -z; } > "$work/names"
count=$(tr -cd '\0' < "$work/names" | wc -c)

status=0
"$cli" list --json -0 --files-from "$work/names" > "$work/one.jsonl" 2>/dev/null || status=$?
[ "$status" -le 1 ] || { echo "FAIL one run exited $status" >&2; exit 1; }

for shards in 2 5 17; do
    per=$(( (count + shards - 1) / shards ))
    parallel -0 --pipe --recend '\0' --keep-order -N "$per" -j 2 \
        "$cli" list --json -0 --files-from - < "$work/names" > "$work/merged.jsonl" 2>/dev/null || true
    if ! cmp -s "$work/one.jsonl" "$work/merged.jsonl"; then
        echo "FAIL $shards shards of $per names: the merged JSON differs from one run's" >&2
        diff <(cut -c1-120 "$work/one.jsonl") <(cut -c1-120 "$work/merged.jsonl") | head >&2
        exit 1
    fi
done
lines=$(wc -l < "$work/one.jsonl")
[ "$lines" -gt 50 ] || { echo "FAIL only $lines icons listed" >&2; exit 1; }
grep -q 'two\\nlines.ico' "$work/one.jsonl" || { echo "FAIL the name with a line break is missing" >&2; exit 1; }
echo "ok: $count names, $lines icons, the same in 2, 5 and 17 shards"
