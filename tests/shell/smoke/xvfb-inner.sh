#!/usr/bin/env bash
# The part of xvfb-smoke.sh that runs inside the virtual X server.
set -euo pipefail
mode=$1 program=$2 work=$3
cd "$(dirname "$program")"
shot=$work/shot.png

# Waits (up to 20 s) until the screenshot passes the pixel check of this mode.
check() { /usr/bin/python3 - "$shot" "$mode" <<'PY'
import sys
from PIL import Image
img = Image.open(sys.argv[1]).convert("RGB")
px = img.getpixel
teal = lambda c: c[1] > c[0] + 60
if sys.argv[2] == "start":
    # The black backdrop around the centred main window, whose title strip is teal;
    # its desk stays hidden while there are no layers.
    ok = (all(px(p) == (0, 0, 0) for p in [(0, 0), (1, 0), (1023, 767), (5, 384), (1018, 384)])
          and teal(px((512, 38))) and px((340, 330)) != (255, 255, 255))
elif sys.argv[2] == "intro":
    # The 200 x 100 red picture centred on the black backdrop.
    red = lambda c: c[0] > 200 and c[1] < 50 and c[2] < 50
    ok = red(px((412, 334))) and red(px((611, 433))) and px((411, 333)) == (0, 0, 0) and px((612, 434)) == (0, 0, 0)
elif sys.argv[2] == "small":
    ok = px((400, 300)) != (0, 0, 0)  # the error box over the black backdrop
elif sys.argv[2] == "intro-done":
    # The picture is gone: the backdrop and the main window remain.
    red = lambda c: c[0] > 200 and c[1] < 50 and c[2] < 50
    ok = not red(px((512, 384))) and px((5, 384)) == (0, 0, 0)
else:
    title = px((300, 110))
    ok = (px((100, 100)) == (0, 0, 0)          # the rounded corner is cut away
          and px((99, 150)) == (0, 0, 0)        # the backdrop beside the window
          and px((300, 180)) == (21, 25, 32)    # the skin's content well
          and title[1] > title[0] + 60)         # the teal title strip
print("pixels", px((100, 100)), px((300, 180)), px((300, 110)), file=sys.stderr)
sys.exit(0 if ok else 1)
PY
}

case $mode in
  intro)
    # A picture for 2 s, then the backdrop alone again.
    convert -size 200x100 xc:red Splash.jpg
    printf '[Intro Video]\r\nA=Splash.jpg;2000\r\n' > Tressary.ini
    "$program" &
    pid=$!
    for _ in $(seq 40); do
      sleep 0.25
      import -window root "$shot" 2>/dev/null && check 2>/dev/null && break
    done
    check || { kill "$pid"; echo "the intro picture never showed"; exit 1; }
    sleep 3
    import -window root "$shot"
    mode=intro-done
    check || { kill "$pid"; echo "the intro picture stayed"; exit 1; }
    kill -0 "$pid" || { echo "the program ended early"; exit 1; }
    kill "$pid"; wait "$pid" || true
    echo "ok"
    ;;
  start|shape)
    if [[ $mode == shape ]]; then "$program" "$work/Tressary" & else "$program" & fi
    pid=$!
    for _ in $(seq 40); do
      sleep 0.5
      kill -0 "$pid" 2>/dev/null || { echo "the program ended early"; exit 1; }
      import -window root "$shot" 2>/dev/null || continue
      if check 2>/dev/null; then kill "$pid"; wait "$pid" || true; echo "ok"; exit 0; fi
    done
    check || true
    kill "$pid"
    echo "the screen never showed what was expected"
    exit 1
    ;;
  small)
    "$program" 2>"$work/err" &
    pid=$!
    expected=$(printf 'Screen resolution must be 1024-768 or higher.\rProgram terminated.')
    for _ in $(seq 40); do
      sleep 0.5
      grep -q "Program terminated" "$work/err" 2>/dev/null && break
    done
    # The box waits for OK on the screen's centre.
    for _ in $(seq 40); do
      import -window root "$shot" 2>/dev/null && check 2>/dev/null && break
      sleep 0.5
    done
    check || { kill "$pid"; echo "no message box on the screen"; exit 1; }
    kill -0 "$pid" 2>/dev/null || { echo "the program ended without waiting for OK"; exit 1; }
    # The pointer gives the box the key focus; Enter presses OK.
    for _ in $(seq 40); do
      kill -0 "$pid" 2>/dev/null || break
      xdotool mousemove 400 300 key Return 2>/dev/null || true
      sleep 0.5
    done
    if kill -0 "$pid" 2>/dev/null; then kill "$pid"; echo "the program did not end after OK"; exit 1; fi
    status=0
    wait "$pid" || status=$?
    message=$(grep -v '^QStandardPaths' "$work/err")
    [[ $message == "$expected" ]] || { echo "unexpected message: $(cat -A "$work/err")"; exit 1; }
    [[ $status -ne 0 ]] || { echo "ended with status 0"; exit 1; }
    echo "ok"
    ;;
esac
