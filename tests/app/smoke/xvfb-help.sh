#!/usr/bin/env bash
# F1 pressed on the main window of the real program, under a virtual X server:
# the help window must come up showing the main window's own help page.
#   xvfb-help.sh <program> <installation>
set -euo pipefail
program=$1 install=$2
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$program" "$install"
"$xvfb_free" -s "-screen 0 1024x768x24" bash -c '
source "$3"
program=$1 work=$2
"$program" 2>"$work/log" &
pid=$!
# The help window as the screen shows it: its viewer (16 pixels in from the
# sides, below the 30-pixel title strip, above the button strip) must hold the
# page on its paper, with dark text and the teal headings of the help pages.
check() {
  local id geometry
  id=$(xdotool search --onlyvisible --name "^Help\$" 2>/dev/null | head -1) || return 1
  [[ -n $id ]] || return 1
  geometry=$(xdotool getwindowgeometry --shell "$id") || return 1
  eval "$geometry"
  /usr/bin/python3 - "$work/shot.png" "$X" "$Y" "$WIDTH" "$HEIGHT" <<"PY"
import sys
from PIL import Image
shot = Image.open(sys.argv[1]).convert("RGB")
x, y, w, h = map(int, sys.argv[2:6])
box = shot.crop((x + 16, y + 46, x + w - 16, y + h - 52))
pixels = list(box.getdata())
paper = sum(p == (251, 250, 246) for p in pixels)
text = sum(max(p) < 90 for p in pixels)
heading = sum(abs(p[0] - 22) < 40 and abs(p[1] - 96) < 40 and abs(p[2] - 110) < 40 and p[1] > p[0] + 40 for p in pixels)
print("paper", paper, "text", text, "heading", heading, "of", len(pixels), file=sys.stderr)
sys.exit(0 if paper > len(pixels) // 2 and text > 500 and heading > 100 else 1)
PY
}
# Once the program stands, F1 goes to the window under the pointer: the main
# window'"'"'s title strip (the desk would open its own page).
pressed=no
for _ in $(seq 60); do
  sleep 0.5
  kill -0 "$pid" 2>/dev/null || { cat "$work/log"; echo "the program ended early"; exit 1; }
  if [[ $pressed == no ]]; then
    xdotool search --onlyvisible --name "^Tressary\$" >/dev/null 2>&1 || continue
    sleep 1
    xdotool mousemove 700 38 key F1
    pressed=yes
    continue
  fi
  import -window root "$work/shot.png" 2>/dev/null || continue
  if check; then
    kill "$pid"; wait "$pid" || true
    echo "ok: the help window shows a page"
    exit 0
  fi
done
kill "$pid" 2>/dev/null || true
echo "no help page came up after F1 on the main window"
exit 1
' _ "$work/Tressary/$(basename "$program")" "$work" "$(dirname "$0")/../../support/xvfb-setup.sh"
