#!/usr/bin/python3
# Whether the desk on a screenshot shows exactly the export picture (white where
# no layer lies), given where the program said the desk and its view lie.
#   desk-shows-export.py <shot.png> <export.png> <geometry.txt> <least layer pixels>
import sys
from PIL import Image

shot = Image.open(sys.argv[1]).convert("RGB")
export = Image.open(sys.argv[2]).convert("RGBA")
gx, gy, w, h, view_left, view_top, export_left, export_top = map(int, open(sys.argv[3]).read().split())
least = int(sys.argv[4])
bad, first = 0, None
layered = 0
for y in range(h):
    for x in range(w):
        ex, ey = x + view_left - export_left, y + view_top - export_top
        if 0 <= ex < export.width and 0 <= ey < export.height:
            want = export.getpixel((ex, ey))[:3]
            layered += want != (255, 255, 255)
        else:
            want = (255, 255, 255)
        got = shot.getpixel((gx + x, gy + y))
        if got != want:
            bad += 1
            first = first or ((x, y), got, want)
print("desk", w, "x", h, "at", gx, gy, "layer pixels", layered, "mismatches", bad, "first", first, file=sys.stderr)
sys.exit(0 if bad == 0 and layered >= least else 1)
