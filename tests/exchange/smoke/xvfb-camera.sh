#!/usr/bin/env bash
# The camera window on a fake device under a virtual X server: the snapshot must
# appear in the adjust window on the screen, and be the camera's colour ramp.
#   xvfb-camera.sh <camera-demo> <installation>
set -euo pipefail
demo=$1 install=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/xvfb-setup.sh"
if [[ ${3:-} != --inside ]]; then
  smoke_work
  mkdir -p "$work/out"
  "$xvfb_free" -s "-screen 0 1024x768x24" bash "$0" "$demo" "$install" --inside "$work"
  exit
fi
work=$4
"$demo" "$install" "$work/out" &
check() {
  /usr/bin/python3 - "$work" <<'PY'
import sys
from PIL import Image
work = sys.argv[1]
shot = Image.open(work + "/shot.png").convert("RGB")
view = Image.open(work + "/out/adjust.png").convert("RGB")
gx, gy = map(int, open(work + "/out/geometry.txt").read().split())
w, h = view.size
region = shot.crop((gx, gy, gx + w, gy + h))
bad = sum(1 for a, b in zip(region.getdata(), view.getdata()) if a != b)
# The camera's ramp: red grows left to right, green top to bottom (averaged over
# thirds of the view, so the window's guide lines do not decide).
def mean(box, channel):
    values = [p[channel] for p in region.crop(box).getdata()]
    return sum(values) / len(values)
left, right = mean((0, 0, w // 3, h), 0), mean((w - w // 3, 0, w, h), 0)
top, bottom = mean((0, 0, w, h // 3), 1), mean((0, h - h // 3, w, h), 1)
ramp = right - left > 60 and bottom - top > 60
print("view", w, "x", h, "at", gx, gy, "mismatches", bad, "red", left, right, "green", top, bottom, file=sys.stderr)
sys.exit(0 if bad == 0 and ramp else 1)
PY
}
if smoke_watch $! "$work/out/geometry.txt" 80 check; then echo "ok"; exit 0; fi
echo "the adjust window never showed the snapshot"
exit 1
