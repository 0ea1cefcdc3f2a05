#!/usr/bin/env bash
# Gathers the benchmark corpus: real Windows program files (PE32, PE32+),
# 16-bit NE files and icon files, taken from Debian packages into corpus/
# at the top of the repository (git-ignored). Nothing here is committed.
#
#   bench/gather-corpus.sh [CLI]
#
# Files are chosen by their content (MZ + PE/NE signature, ICO/CUR/ANI
# headers), never by their names. A second run with the same sources does
# nothing but print the counts. With CLI (a glimmerbox-cli binary; by
# default build/bench/bin/glimmerbox-cli when it exists), the count of
# icons in the corpus is printed too.
#
# Output, relative to corpus/:
#   files/PACKAGE_ARCH/PATH   the chosen files, at their path in the package
#   files.txt                 one path (relative to corpus/) a line, sorted
#   kinds.tsv                 path <TAB> pe32 | pe32+ | ne | ico | cur | ani
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
corpus="$root/corpus"
cache="$corpus/.cache"

# PACKAGE:ARCH. libwine holds Wine's PE builtins (x86_64-windows in the
# amd64 build, i386-windows in the i386 one); fonts-wine holds NE font files;
# nsis-common holds installer stubs and plug-ins (PE32 and PE32+, some with
# no extension at all) and a few dozen .ico files.
sources=(libwine:amd64 libwine:i386 fonts-wine:all nsis-common:all)
min_pe=1000

cli="${1:-$root/build/bench/bin/glimmerbox-cli}"

# Reads NUL-separated paths on stdin and prints "PATH<TAB>KIND" for each
# file that is one of ours, KIND being pe32, pe32+, ne, ico, cur or ani.
# One perl process for the lot, not a few processes a file.
classify_all() {
    perl -e '
        $/ = "\0";
        while (my $path = <STDIN>) {
            chomp $path;
            open(my $fh, "<:raw", $path) or next;
            my $kind = "";
            if (read($fh, my $head, 64) == 64) {
                if (substr($head, 0, 2) eq "MZ") {
                    # e_lfanew at 0x3c leads to PE\0\0 or NE
                    my $lfanew = unpack("V", substr($head, 60, 4));
                    if (seek($fh, $lfanew, 0) && read($fh, my $nt, 26) == 26) {
                        if (substr($nt, 0, 4) eq "PE\0\0") {
                            my $magic = unpack("v", substr($nt, 24, 2));
                            $kind = $magic == 0x10b ? "pe32" : $magic == 0x20b ? "pe32+" : "";
                        } elsif (substr($nt, 0, 2) eq "NE") {
                            $kind = "ne";
                        }
                    }
                } elsif (substr($head, 0, 4) eq "\0\0\1\0") {
                    $kind = "ico";
                } elsif (substr($head, 0, 4) eq "\0\0\2\0") {
                    $kind = "cur";
                } elsif (substr($head, 0, 4) eq "RIFF" && substr($head, 8, 4) eq "ACON") {
                    $kind = "ani";
                }
            }
            print "$path\t$kind\n" if $kind ne "";
        }'
}

# apt-get with lists of its own under corpus/.cache, for amd64 and i386, so
# that the machine's own apt state (and its architectures) stay untouched.
private_apt() {
    apt-get -q \
        -o Dir::State::Lists="$cache/apt/lists" \
        -o Dir::Cache="$cache/apt/cache" \
        -o APT::Architectures::=amd64 -o APT::Architectures::=i386 \
        -o APT::Sandbox::User="$(id -un)" \
        "$@"
}

gather() {
    rm -rf "$corpus/files" "$corpus/files.txt" "$corpus/kinds.tsv" "$corpus/.complete"
    mkdir -p "$cache/debs" "$cache/apt/lists/partial" "$cache/apt/cache/archives/partial"

    local need=() s
    for s in "${sources[@]}"; do
        compgen -G "$cache/debs/${s%%:*}_*_${s##*:}.deb" >/dev/null || need+=("$s")
    done
    if [ ${#need[@]} -gt 0 ]; then
        echo "Downloading ${need[*]}"
        private_apt update -qq
        (cd "$cache/debs" && private_apt download "${need[@]}")
    fi

    local unpack="$cache/unpack"
    local deb pkg arch dest made f rel kind
    for s in "${sources[@]}"; do
        pkg="${s%%:*}"
        arch="${s##*:}"
        deb="$(compgen -G "$cache/debs/${pkg}_*_${arch}.deb" | head -n1)"
        echo "Unpacking $(basename "$deb")"
        rm -rf "$unpack"
        mkdir -p "$unpack"
        dpkg-deb -x "$deb" "$unpack"
        dest="$corpus/files/${pkg}_${arch}"
        made=""
        while IFS=$'\t' read -r f kind; do
            rel="${f#"$unpack"/}"
            [ "$made" = "${rel%/*}" ] || { made="${rel%/*}"; mkdir -p "$dest/$made"; }
            mv "$f" "$dest/$rel"
            printf '%s\t%s\n' "files/${pkg}_${arch}/$rel" "$kind" >>"$corpus/kinds.tsv.tmp"
        done < <(find "$unpack" -type f -size +63c -print0 | classify_all)
    done
    rm -rf "$unpack"

    LC_ALL=C sort "$corpus/kinds.tsv.tmp" >"$corpus/kinds.tsv"
    rm -f "$corpus/kinds.tsv.tmp"
    cut -f1 "$corpus/kinds.tsv" >"$corpus/files.txt"
    printf '%s\n' "${sources[@]}" >"$corpus/.complete"
}

if [ -f "$corpus/.complete" ] && [ "$(cat "$corpus/.complete")" = "$(printf '%s\n' "${sources[@]}")" ]; then
    echo "Corpus already gathered in $corpus"
else
    gather
fi

pe=$(awk -F'\t' '$2 == "pe32" || $2 == "pe32+"' "$corpus/kinds.tsv" | wc -l)
files=$(wc -l <"$corpus/files.txt")
bytes=$(cd "$corpus" && tr '\n' '\0' <files.txt | xargs -0 stat -c %s | awk '{s += $1} END {print s}')
echo "Corpus: $files files, $(awk -v b="$bytes" 'BEGIN {printf "%.1f", b / 1048576}') MB"
cut -f2 "$corpus/kinds.tsv" | sort | uniq -c | awk '{printf "  %-6s %5d\n", $2, $1}'
if [ "$pe" -lt "$min_pe" ]; then
    echo "Only $pe PE files found; the benchmark wants at least $min_pe" >&2
    exit 1
fi

if [ -x "$cli" ]; then
    # The tool prints "N icons in M files" on stderr; xargs may split the
    # list into several runs, so the counts are added up.
    # shellcheck disable=SC2015 # a failed run still leaves its count
    icons=$(cd "$corpus" && tr '\n' '\0' <files.txt |
        xargs -0 "$cli" list 2>&1 >/dev/null |
        awk '/ icons in [0-9]+ files$/ {n += $1} END {print n + 0}' || true)
    echo "Icons (glimmerbox-cli list): $icons"
fi
