#!/usr/bin/env bash
# The post-card composer under a virtual X server: the open dialog previews the
# background picture, the composed card shows on the screen as the program drew
# it, saves as a PNG of card size with the tiles and the distorted work, and
# prints on one PDF page.
#   xvfb-postcard.sh <postcard-demo> <installation>
set -euo pipefail
demo=$1 install=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/xvfb-setup.sh"
if [[ ${3:-} != --inside ]]; then
  smoke_work
  mkdir -p "$work/out"
  /usr/bin/python3 -c "
from PIL import Image, ImageDraw
tile = Image.new('RGB', (64, 48), (30, 90, 210))
ImageDraw.Draw(tile).rectangle((0, 0, 7, 7), fill=(20, 160, 60))
tile.save('$work/tile.png')"
  "$xvfb_free" -s "-screen 0 1024x768x24" bash "$0" "$demo" "$install" --inside "$work"
  exit
fi
work=$4
"$demo" "$install" "$work/out" "$work/tile.png" &
check() {
  [[ -s $work/out/card.png && -s $work/out/card.pdf ]] || return 1
  [[ $(pdfinfo "$work/out/card.pdf" | awk '/^Pages:/ {print $2}') == 1 ]] || { echo "not one page" >&2; return 1; }
  pdftoppm -r 50 -png -singlefile "$work/out/card.pdf" "$work/page"
  /usr/bin/python3 - "$work" <<'PY'
import sys
from PIL import Image
work = sys.argv[1]
ok = True
def fail(why):
    global ok
    print(why, file=sys.stderr)
    ok = False
# The dialog's preview: the caption gives the size, the picture sits in the middle.
if open(work + "/out/preview.txt").read().strip() != "(64x48)":
    fail("preview caption " + open(work + "/out/preview.txt").read())
preview = Image.open(work + "/out/preview.png").convert("RGB")
if preview.getpixel((preview.width // 2, preview.height // 2)) != (30, 90, 210):
    fail("preview does not show the picture")
card = Image.open(work + "/out/card.png").convert("RGB")
if card.size != (482, 481):
    fail("card size %s" % (card.size,))
# Tiles from the top-left corner; the work, pulled larger, past its old corner.
if card.getpixel((0, 240)) != (20, 160, 60) or card.getpixel((448, 0)) != (20, 160, 60):
    fail("tiles not where tiling puts them")
if card.getpixel((300, 320)) != (200, 30, 30) and card.getpixel((300, 320)) != (240, 220, 30):
    fail("the work is not past its old corner: %s" % (card.getpixel((300, 320)),))
# Its right edge pulled out 40 pixels further than its bottom edge went down.
if card.getpixel((395, 330)) != (200, 30, 30) or card.getpixel((300, 375)) == (200, 30, 30):
    fail("the work is not stretched wider: %s %s" % (card.getpixel((395, 330)), card.getpixel((300, 375))))
texts = sum(1 for p in card.getdata() if p[0] < 40 and p[1] < 40 and p[2] < 40)
if texts < 200:
    fail("no text shadows on the card (%d dark pixels)" % texts)
# The page shows the tiles.
page = Image.open(work + "/page.png").convert("RGB")
blue = sum(1 for p in page.getdata() if abs(p[0] - 30) < 30 and abs(p[1] - 90) < 30 and abs(p[2] - 210) < 30)
if blue < 1000:
    fail("the printed page does not show the card")
# The screen shows the card as the program drew it.
shot = Image.open(work + "/shot.png").convert("RGB")
view = Image.open(work + "/out/view.png").convert("RGB")
gx, gy = map(int, open(work + "/out/geometry.txt").read().split())
region = shot.crop((gx, gy, gx + view.width, gy + view.height))
bad = sum(1 for a, b in zip(region.getdata(), view.getdata()) if a != b)
if bad > view.width * view.height // 100:
    fail("the screen differs from the card in %d pixels" % bad)
sys.exit(0 if ok else 1)
PY
}
if smoke_watch $! "$work/out/geometry.txt" 60 check; then echo "ok"; exit 0; fi
echo "the composed card never showed, saved and printed as it should"
exit 1
