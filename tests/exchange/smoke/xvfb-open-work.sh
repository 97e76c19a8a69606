#!/usr/bin/env bash
# The real program started with a work file as its one argument shows the work's
# layer on the desk.
#   xvfb-open-work.sh <tressary> <installation>
set -euo pipefail
program=$1 install=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$program" "$install"
/usr/bin/python3 "$here/../../support/make_tsc.py" "$work/some.tsc"
"$xvfb_free" -s "-screen 0 1024x768x24" bash -c '
  cd "$1/Tressary"
  ./tressary "$1/some.tsc" &
  pid=$!
  for _ in $(seq 40); do
    sleep 0.5
    kill -0 $pid 2>/dev/null || { echo "the program ended early"; exit 1; }
    import -window root "$1/shot.png" 2>/dev/null || continue
    # The 200 x 150 red layer (less its transparent disc) on the desk.
    if /usr/bin/python3 - "$1/shot.png" <<PY
import sys
from PIL import Image
img = Image.open(sys.argv[1]).convert("RGB")
red = sum(1 for r, g, b in img.getdata() if r > 220 and g < 50 and b < 50)
print("red pixels", red, file=sys.stderr)
sys.exit(0 if 25000 <= red <= 30000 else 1)
PY
    then kill $pid; wait $pid || true; echo ok; exit 0; fi
  done
  kill $pid 2>/dev/null || true
  echo "the work never showed on the desk"
  exit 1
' _ "$work"
