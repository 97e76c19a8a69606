#!/usr/bin/env bash
# The real program under a virtual X server with a window manager, looked at on
# the screen where it once went wrong (see screen-walk): a move undone must leave
# the desk showing exactly the work; a click on the black backdrop must leave the
# main window in front; printing with no printer set up goes through its dialog,
# twice, and the program stays in front.
#   xvfb-screen-walk.sh <screen-walk> <installation>
set -euo pipefail
harness=$1 install=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$harness" "$install"
mkdir -p "$work/out"
fail() { echo "FAIL: $*"; tail -20 "$work/log" 2>/dev/null; exit 1; }
status=0
timeout 120 "$xvfb_free" -s "-screen 0 1280x1024x24" bash -c '
  set -uo pipefail
  work=$1 harness=$2 support=$3
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  sleep 1
  (cd "$work/Tressary" && exec "./$harness" "$work/out") 2>>"$work/log" &
  pid=$!
  shot() { import -window root "$1" 2>/dev/null; }
  ended() { kill $wm 2>/dev/null; exit "$1"; }
  # The undone move: the desk must show the work, nothing more.
  for try in $(seq 60); do
    sleep 0.5
    kill -0 $pid 2>/dev/null || { echo "the walk ended early: $(cat "$work/out/done" 2>/dev/null)"; ended 1; }
    [[ -s $work/out/main.txt ]] || continue
    shot "$work/desk.png" || continue
    /usr/bin/python3 "$support/desk-shows-export.py" "$work/desk.png" "$work/out/export.png" \
      "$work/out/geometry.txt" 15000 2>>"$work/log" && break
    (( try < 60 )) || { echo "after Undo the desk does not show the work"; ended 1; }
  done
  # A click on the backdrop, beside the main window.
  read -r x y w h <"$work/out/main.txt"
  if (( x > 20 )); then cx=$((x / 2)); else cx=$((x + w + 20)); fi
  shot "$work/before.png"
  xdotool mousemove "$cx" $((y + h / 2)) click 1
  sleep 1.5
  shot "$work/after.png"
  touch "$work/out/clicked"
  for _ in $(seq 80); do
    [[ -s $work/out/done ]] && break
    sleep 0.5
  done
  sleep 1
  shot "$work/end.png"
  touch "$work/out/seen"
  for _ in $(seq 20); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.5
  done
  kill $pid 2>/dev/null
  wait $pid
  ended 0
' _ "$work" "$(basename "$harness")" "$here/../../support" >>"$work/log" 2>&1 || status=$?
[[ $status -eq 0 ]] || fail "the walk under the X server ended with $status"
[[ $(cat "$work/out/done" 2>/dev/null) == ok ]] || fail "the walk: $(cat "$work/out/done" 2>/dev/null)"
# The main window's place looks the same before the click, after it and at the end.
read -r x y w h <"$work/out/main.txt"
/usr/bin/python3 - "$work" "$x" "$y" "$w" "$h" <<'PY' || fail "the main window did not stay in front"
import sys
from PIL import Image, ImageChops
work, x, y, w, h = sys.argv[1], *map(int, sys.argv[2:])
box = (x, y, x + w, y + h)
before = Image.open(work + "/before.png").convert("RGB").crop(box)
dark = sum(1 for p in before.getdata() if max(p) < 16)
if dark > w * h // 2:
    sys.exit("the main window is not on the screen before the click")
for name in ("after", "end"):
    shot = Image.open(work + "/" + name + ".png").convert("RGB").crop(box)
    changed = ImageChops.difference(before, shot).convert("L").point(lambda v: v > 24).getbbox()
    same = sum(1 for a, b in zip(before.getdata(), shot.getdata()) if a == b)
    print(name, ": same pixels", same, "of", w * h, file=sys.stderr)
    if same < w * h * 0.95:
        sys.exit(name + ": the main window's place changed, " + str(changed))
PY
for pdf in help page; do
  [[ $(pdfinfo "$work/out/$pdf.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}') -ge 1 ]] ||
    fail "no $pdf.pdf was printed through the dialog"
done
echo "ok: the undone move repainted, the backdrop click left the program in front, two prints without a printer"
