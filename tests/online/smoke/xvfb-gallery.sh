#!/usr/bin/env bash
# The gallery under a virtual X server: a work sent from the upload window comes
# back from the browser with the same layers, and its preview shows on screen.
#   xvfb-gallery.sh <gallery-demo> <installation>
set -euo pipefail
demo=$1 install=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$demo" "$install"
mkdir -p "$work/out"
/usr/bin/python3 "$here/../../support/make_tsc.py" "$work/some.tsc"
cat > "$work/check.py" <<'PY'
import sys
from PIL import Image
work = sys.argv[1]
shot = Image.open(work + "/shot.png").convert("RGB")
x, y = map(int, open(work + "/out/cell.txt").read().split())
c = shot.getpixel((x, y))
print("preview", x, y, c, file=sys.stderr)
sys.exit(0 if c[0] > 180 and c[1] < 80 and c[2] < 80 else 1)
PY
"$xvfb_free" -s "-screen 0 1024x768x24" bash -c '
source "$3"
demo=$1 work=$2
"$demo" "$work/Tressary" "$work/out" "$work/some.tsc" &
smoke_watch $! "$work/out/cell.txt" 120 /usr/bin/python3 "$work/check.py" "$work"
' _ "$work/Tressary/$(basename "$demo")" "$work" "$here/../../support/xvfb-setup.sh" ||
  { echo "the work never came back from the gallery"; exit 1; }
echo ok
