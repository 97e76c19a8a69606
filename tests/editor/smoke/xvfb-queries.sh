#!/usr/bin/env bash
# The answer "long" of the questionnaire and the browser's filter switch, under a
# virtual X server: the browser must show exactly the long women's hairstyles of
# PartBase.txt, and on screen as many filled cells, the rest of the grid white.
#   xvfb-queries.sh <queries-demo> <installation>
set -euo pipefail
demo=$1 install=$2
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
mkdir -p "$work/out"
"$xvfb_free" -s "-screen 0 1024x768x24" bash -c '
source "$4"
demo=$1 install=$2 work=$3
"$demo" "$install" "$work/out" &
check() {
  /usr/bin/python3 - "$work" "$install" <<"PY"
import sys
from PIL import Image
work, install = sys.argv[1], sys.argv[2]
# The long women'"'"'s styles, straight from the catalogue lines.
expected = 0
for line in open(install + "/PartBase.txt", encoding="utf-8"):
    fields = line.split(";", 5)
    if len(fields) < 6 or fields[0].strip() != "1":
        continue
    attrs = {}
    for item in fields[5].upper().split(";"):
        item = item.strip()
        if item.startswith("?") and "=" in item:
            name, values = item[1:].split("=", 1)
            attrs[name] = values.split(",")
    expected += "LONG" in attrs.get("LENGTH", [])
gx, gy, cw, ch, cols, rows, shown, on = map(int, open(work + "/out/browser.txt").read().split())
shot = Image.open(work + "/shot.png").convert("RGB")
def coloured(c):  # hair: neither the white ground nor the grey lines and numbers
    return max(c) - min(c) > 24 or sum(c) < 240
filled = []
for n in range(cols * rows):
    x0, y0 = gx + (n % cols) * cw, gy + (n // cols) * ch
    count = sum(coloured(shot.getpixel((x, y))) for y in range(y0 + 14, y0 + ch - 2, 2) for x in range(x0 + 2, x0 + cw - 2, 2))
    filled.append(count > 60)
print("expected", expected, "shown", shown, "filter", on, "filled", filled, file=sys.stderr)
ok = on == 1 and 0 < expected < cols * rows and shown == expected and filled == [n < expected for n in range(cols * rows)]
sys.exit(0 if ok else 1)
PY
}
if smoke_watch $! "$work/out/browser.txt" 40 check; then echo ok; exit 0; fi
echo "the questionnaire never filtered the template browser"
exit 1
' _ "$demo" "$install" "$work" "$(dirname "$0")/../../support/xvfb-setup.sh"
