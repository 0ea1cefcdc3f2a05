#!/usr/bin/python3
"""Compares pairs of thumbnails (ours, the peer's) listed as PATH<TAB>A<TAB>B:
the same size means the same stored image was chosen; the pixel difference
where either is visible (mean and largest channel difference) shows how
closely both draw it: a scaled image differs by the two scaling filters. Prints a summary and the files that differ."""
import os
import sys

from PIL import Image, ImageChops

same_size = identical = close = only_ours = only_peer = neither = 0
differ = []
for line in open(sys.argv[1]):
    path, a, b = line.rstrip("\n").split("\t")
    has_a, has_b = os.path.exists(a), os.path.exists(b)
    if not (has_a and has_b):
        if has_a:
            only_ours += 1
        elif has_b:
            only_peer += 1
        else:
            neither += 1
        continue
    x, y = Image.open(a).convert("RGBA"), Image.open(b).convert("RGBA")
    if x.size != y.size:
        differ.append(f"{path}: {x.size} against {y.size}")
        continue
    same_size += 1
    # Colour under fully transparent pixels is nobody's business.
    visible = ImageChops.lighter(x.getchannel("A"), y.getchannel("A")).point(lambda v: 255 if v else 0)
    blank = Image.new("RGBA", x.size)
    diff = ImageChops.difference(Image.composite(x, blank, visible), Image.composite(y, blank, visible))
    largest = max(hi for _, hi in diff.getextrema())
    shown = max(1, sum(1 for v in visible.getdata() if v))
    mean = sum(sum(p) for p in diff.getdata()) / (4 * shown)
    if largest == 0:
        identical += 1
    elif mean <= 4:
        close += 1
    else:
        differ.append(f"{path}: same size {x.size}, channels differ by {mean:.1f} on average, up to {largest}")

print(f"both wrote a thumbnail of the same size: {same_size}"
      f" (pixel-identical {identical}, within 4 levels on average {close})")
print(f"different sizes or pixels: {len(differ)}; only ours: {only_ours}; only the peer's: {only_peer};"
      f" neither: {neither}")
for d in differ[:20]:
    print("  " + d)
