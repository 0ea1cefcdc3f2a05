#!/usr/bin/env bash
# The same job as `glimmerbox-cli export --size 32 --format png`, done with
# icoutils, for the comparison in bench/run-bench.sh:
#
#   bench/icoutils-pipeline.sh LIST OUT
#
# LIST has one input path a line. Program files (PE, NE) go through
# `wrestool -x -t14`, which writes each icon group as an .ico file; every
# .ico file, extracted or given, then goes through `icotool -x -w 32 -h 32`,
# which writes its 32x32 images as PNG.
#
# Used as efficiently as the tools allow: wrestool takes many files in one
# run and goes on past a file it cannot read, so it runs once per folder of
# inputs (once per folder because it names its output after the input's
# base name). icotool stops at the first file it cannot read, so it runs
# once per .ico file. Nothing runs in parallel, as glimmerbox-cli does not.
# Failures of the tools are not errors here: what they cannot read they skip.
set -uo pipefail

list="$1"
out="$2"
mkdir -p "$out"

# Icon and cursor files among the inputs, told by their first four bytes in
# one perl run; all the others are handed to wrestool.
perl -e '
    open(my $icons, ">", "$ARGV[1]/icons.txt") or die;
    open(my $programs, ">", "$ARGV[1]/programs.txt") or die;
    open(my $list, "<", $ARGV[0]) or die;
    while (my $path = <$list>) {
        chomp $path;
        next if $path eq "";
        $path = "./$path" unless $path =~ m{/};
        my $head = "";
        if (open(my $fh, "<:raw", $path)) { read($fh, $head, 4); close($fh); }
        if ($head eq "\0\0\1\0" || $head eq "\0\0\2\0") { print $icons "$path\n"; }
        else { print $programs "$path\n"; }
    }' "$list" "$out"

# One wrestool run per input folder, each into a folder of its own.
n=0
while IFS= read -r folder; do
    n=$((n + 1))
    mkdir -p "$out/ico/$n" "$out/png/$n"
    awk -v d="$folder" '{ f = $0; sub(/\/[^\/]*$/, "", f); if (f == d) print }' "$out/programs.txt" |
        xargs -r -d '\n' wrestool -x -t14 -o "$out/ico/$n/" 2>/dev/null
    find "$out/ico/$n" -name '*.ico' -print0 |
        xargs -r -0 -n1 icotool -x -w 32 -h 32 -o "$out/png/$n" 2>/dev/null
done < <(sed 's|/[^/]*$||' "$out/programs.txt" | sort -u)

# Icon files given as inputs.
mkdir -p "$out/png/given"
xargs -r -d '\n' -n1 icotool -x -w 32 -h 32 -o "$out/png/given" <"$out/icons.txt" 2>/dev/null
exit 0
