#!/usr/bin/env bash
# A portrait fitted, a hairstyle chosen in the template browser, under a virtual X
# server: the screenshot must show hair above the face point and the face below.
#   xvfb-template.sh <template-demo> <installation>
set -euo pipefail
demo=$1 install=$2
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
mkdir -p "$work/out"
"$xvfb_free" -s "-screen 0 1024x768x24" bash -c '
demo=$1 install=$2 work=$3
"$demo" "$install" "$work/out" &
pid=$!
for _ in $(seq 60); do
  sleep 0.5
  kill -0 "$pid" 2>/dev/null || { echo "the demo ended early"; exit 1; }
  [[ -s $work/out/geometry.txt ]] || continue
  sleep 1
  import -window root "$work/shot.png" 2>/dev/null || continue
  if /usr/bin/python3 - "$work" <<"PY"
import sys
from PIL import Image
work = sys.argv[1]
shot = Image.open(work + "/shot.png").convert("RGB")
gx, gy, view_left, view_top, scale, fx, fy, layers = open(work + "/out/geometry.txt").read().split()
gx, gy, view_left, view_top, fx, fy, layers = map(int, (gx, gy, view_left, view_top, fx, fy, layers))
scale = float(scale)
def at(cx, cy):
    return shot.getpixel((gx + round((cx - view_left) / scale), gy + round((cy - view_top) / scale)))
def hair(c):  # brown strands and their sheen, far darker than the skin (sum 578) and the ground
    return sum(c) < 450 and c[0] > c[1] > c[2]
mid = fx + 44
hairs = [at(mid + dx, fy - 110) for dx in (-30, 0, 30)] + [at(fx - 60, fy + 40), at(fx + 150, fy + 40)]
faces = [at(mid, fy + 50), at(mid - 20, fy + 70)]
print("layers", layers, "hair", hairs, "face", faces, file=sys.stderr)
ok = layers == 2 and sum(hair(c) for c in hairs) >= 4 and not any(hair(c) for c in faces)
sys.exit(0 if ok else 1)
PY
  then kill "$pid"; wait "$pid" || true; echo ok; exit 0; fi
done
kill "$pid" 2>/dev/null || true
echo "the hairstyle never showed against the face"
exit 1
' _ "$demo" "$install" "$work"
