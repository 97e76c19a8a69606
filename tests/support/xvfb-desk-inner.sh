#!/usr/bin/env bash
# The part of xvfb-desk.sh that runs inside the virtual X server.
set -euo pipefail
demo=$1 install=$2 work=$3
source "$(dirname "$0")/xvfb-setup.sh"
"$demo" "$install" "$work/out" "$work/ramp.png" "$work/disc.png" &
check() {
  /usr/bin/python3 - "$work" <<'PY'
import sys
from PIL import Image
work = sys.argv[1]
shot = Image.open(work + "/shot.png").convert("RGB")
export = Image.open(work + "/out/export.png").convert("RGBA")
gx, gy, w, h, view_left, view_top, export_left, export_top = map(int, open(work + "/out/geometry.txt").read().split())
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
sys.exit(0 if bad == 0 and layered > 20000 else 1)
PY
}
if smoke_watch $! "$work/out/geometry.txt" 40 check; then echo "ok"; exit 0; fi
echo "the desk never showed the export picture"
exit 1
