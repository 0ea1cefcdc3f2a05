#!/usr/bin/env bash
# The same job as `glimmerbox-cli cursor-theme`, done as a user would script
# it with icoutils and xcursorgen, for the comparison in
# bench/cursor-theme-bench.sh:
#
#   bench/xcursorgen-pipeline.sh PACK LINKS OUT
#
# PACK is a folder of Windows cursors named as packs name them; LINKS has a
# line "MAIN NAME" for each link the theme gets. Each .cur file's images are
# listed (`icotool -l`, for the hot spots) and extracted as PNG
# (`icotool -x`), and `xcursorgen` makes the Xcursor file from them. An
# animated cursor's frames (cursor files in its RIFF `icon` chunks) are cut
# out by one perl run each and shown in order at the anih rate, as a
# simple script would; then index.theme and the links.
set -euo pipefail

pack="$1"
links="$2"
out="$3"
work="$out/.work"
rm -rf "$out"
mkdir -p "$out/cursors" "$work"
printf '[Icon Theme]\nName=Pipeline\nInherits=default\n' > "$out/index.theme"

# The Windows file name of each role and the theme's name for it.
declare -A names=(
    ["Normal Select"]=default ["Help Select"]=help ["Working in Background"]=progress
    ["Busy"]=wait ["Precision Select"]=crosshair ["Text Select"]=text ["Handwriting"]=pencil
    ["Unavailable"]=not-allowed ["Vertical Resize"]=ns-resize ["Horizontal Resize"]=ew-resize
    ["Diagonal Resize 1"]=nwse-resize ["Diagonal Resize 2"]=nesw-resize ["Move"]=move
    ["Alternate Select"]=up-arrow ["Link Select"]=pointer)

# One config line per image of a cursor file: SIZE XHOT YHOT PNG [DELAY].
config_of() {
    local file=$1 stem=$2 delay=${3:-}
    # One awk run turns icotool's listing into xcursorgen's lines.
    icotool -x -o "$work" "$file"
    icotool -l "$file" | awk -v dir="$work" -v stem="$stem" -v delay="$delay" '{
        for (i = 1; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
        printf "%s %s %s %s/%s_%s_%sx%sx%s.png %s\n", v["--width"], v["--hotspot-x"], v["--hotspot-y"],
            dir, stem, v["--index"], v["--width"], v["--height"], v["--bit-depth"], delay }'
}

for file in "$pack"/*.cur "$pack"/*.ani; do
    base=$(basename "$file")
    stem=${base%.*}
    main=${names[$stem]:-}
    [ -n "$main" ] || continue
    : > "$work/$main.cfg"
    case $file in
    *.cur)
        # xcursorgen splits its lines at spaces: the files take the theme's names.
        cp "$file" "$work/$main.cur"
        config_of "$work/$main.cur" "$main" >> "$work/$main.cfg"
        ;;
    *.ani)
        # Frames as files of their own, and the anih rate in milliseconds.
        rate=$(perl -e '
            local $/; open(my $f, "<:raw", $ARGV[0]) or die; my $d = <$f>;
            my ($pos, $n, $rate) = (12, 0, 0);
            while ($pos + 8 <= length $d) {
                my ($id, $size) = unpack("a4 V", substr($d, $pos, 8));
                if ($id eq "LIST") { $pos += 12; next; }
                if ($id eq "anih") { $rate = unpack("V", substr($d, $pos + 8 + 28, 4)); }
                if ($id eq "icon") {
                    open(my $o, ">:raw", "$ARGV[1]_frame$n.cur") or die;
                    print $o substr($d, $pos + 8, $size); close $o; $n++;
                }
                $pos += 8 + $size + ($size & 1);
            }
            print int($rate * 1000 / 60 + 0.5);' "$file" "$work/$main")
        for frame in "$work/$main"_frame*.cur; do
            fstem=$(basename "${frame%.cur}")
            config_of "$frame" "$fstem" "$rate" >> "$work/$main.cfg"
        done
        ;;
    esac
    xcursorgen "$work/$main.cfg" "$out/cursors/$main"
done

while read -r main name; do
    ln -s "$main" "$out/cursors/$name"
done < "$links"
rm -rf "$work"
