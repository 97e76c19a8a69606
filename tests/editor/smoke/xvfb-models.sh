#!/usr/bin/env bash
# A portrait fitted, a ready solution applied with a double click and its layers
# reordered in the layers list, under a virtual X server: the layer order must
# change, the picture with it, and the desk must show exactly the new picture.
#   xvfb-models.sh <models-demo> <installation>
set -euo pipefail
demo=$1 install=$2
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
mkdir -p "$work/out"
"$xvfb_free" -s "-screen 0 1024x768x24" bash -c '
source "$4"
demo=$1 install=$2 work=$3
"$demo" "$install" "$work/out" &
check() {
  /usr/bin/python3 - "$work" <<"PY"
import sys
from PIL import Image, ImageChops
work = sys.argv[1]
before, after = open(work + "/out/order.txt").read().split("\n")[:2]
before, after = before.split("|")[:-1], after.split("|")[:-1]
shot = Image.open(work + "/shot.png").convert("RGB")
export = Image.open(work + "/out/export.png").convert("RGBA")
old = Image.open(work + "/out/export-before.png").convert("RGBA")
gx, gy, w, h, view_left, view_top, export_left, export_top = map(int, open(work + "/out/geometry.txt").read().split())
bad = layered = 0
for y in range(h):
    for x in range(w):
        ex, ey = x + view_left - export_left, y + view_top - export_top
        want = export.getpixel((ex, ey))[:3] if 0 <= ex < export.width and 0 <= ey < export.height else (255, 255, 255)
        layered += want != (255, 255, 255)
        bad += shot.getpixel((gx + x, gy + y)) != want
changed = old.size == export.size and ImageChops.difference(old, export).getbbox() is not None
print("before", before, "after", after, "mismatches", bad, "layered", layered, "picture changed", changed, file=sys.stderr)
ok = len(before) >= 3 and after == [before[1], before[0]] + before[2:] and changed and bad == 0 and layered > 20000
sys.exit(0 if ok else 1)
PY
}
if smoke_watch $! "$work/out/geometry.txt" 40 check; then echo ok; exit 0; fi
echo "the reordered ready solution never showed on the desk"
exit 1
' _ "$demo" "$install" "$work" "$(dirname "$0")/../../support/xvfb-setup.sh"
