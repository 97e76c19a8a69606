#!/usr/bin/env bash
# The main window with two layers under a virtual X server: the desk area of a
# screenshot must show exactly the export picture (white where no layer lies).
#   xvfb-desk.sh <main-window-demo> <installation>
set -euo pipefail
demo=$1 install=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$(dirname "$0")/xvfb-setup.sh"
smoke_work
mkdir -p "$work/out"
# Two test pictures: a colour ramp and a disc on a flat ground.
/usr/bin/python3 - "$work" <<'PY'
import sys
from PIL import Image, ImageDraw
work = sys.argv[1]
ramp = Image.new("RGB", (180, 150))
for y in range(150):
    for x in range(180):
        ramp.putpixel((x, y), (x * 255 // 179, y * 255 // 149, 90))
ramp.save(work + "/ramp.png")
disc = Image.new("RGB", (140, 140), (30, 60, 200))
ImageDraw.Draw(disc).ellipse((20, 20, 119, 119), fill=(250, 210, 40))
disc.save(work + "/disc.png")
PY
"$xvfb_free" -s "-screen 0 1024x768x24" bash "$here/xvfb-desk-inner.sh" "$demo" "$install" "$work"
