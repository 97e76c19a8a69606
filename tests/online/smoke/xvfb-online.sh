#!/usr/bin/env bash
# Registration and the element download under a virtual X server: the template
# fetched from the stand-in publisher must show in the template browser.
#   xvfb-online.sh <online-demo> <installation>
set -euo pipefail
demo=$1 install=$2
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$demo" "$install"
mkdir -p "$work/out"
"$xvfb_free" -s "-screen 0 1024x768x24" bash -c '
demo=$1 work=$2
"$demo" "$work/Tressary" "$work/out" &
pid=$!
for _ in $(seq 120); do
  sleep 0.5
  kill -0 "$pid" 2>/dev/null || { wait "$pid"; echo "the demo ended early: $?"; exit 1; }
  [[ -s $work/out/cell.txt ]] || continue
  sleep 0.5
  import -window root "$work/shot.png" 2>/dev/null || continue
  if /usr/bin/python3 - "$work" <<"PY"
import sys
from PIL import Image
work = sys.argv[1]
shot = Image.open(work + "/shot.png").convert("RGB")
x, y = map(int, open(work + "/out/cell.txt").read().split())
c = shot.getpixel((x, y))
print("cell", x, y, c, file=sys.stderr)
sys.exit(0 if abs(c[0] - 200) < 30 and c[1] < 80 and abs(c[2] - 200) < 30 else 1)
PY
  then kill "$pid"; wait "$pid" || true; echo ok; exit 0; fi
done
kill "$pid" 2>/dev/null || true
echo "the downloaded template never showed in the browser"
exit 1
' _ "$work/Tressary/$(basename "$demo")" "$work"
