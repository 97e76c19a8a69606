#!/usr/bin/env bash
# The first steps of a new user on the real program under a virtual X server with
# a small window manager: a photo in, fitted, a hairstyle placed, the look
# exported as JPEG and PNG, the print window listing both, and quitting without
# any browser being started. The program runs from what `cmake --install` puts
# in place, its picture and work folders taken away first, as a first start
# finds them when an installation left them out, and as a user who cannot write
# to the installation: the work and the pictures land in the user's own folders.
#   xvfb-first-steps.sh <first-steps> <build folder> <program folder under the prefix>
set -euo pipefail
harness=$1 build=$2 program_dir=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/xvfb-setup.sh"
smoke_work
fail() { echo "FAIL: $*"; [[ -f $work/log ]] && tail -20 "$work/log"; exit 1; }
smoke_read_only_install "$build" "$program_dir" "$harness"
for folder in ImageIn ImageOut Works Music Sound Queries Help Tips Catalog; do
  [[ -d $installed/$folder ]] || fail "the installation has no $folder folder"
done
[[ $(readlink -f "$work/prefix/bin/tressary") == "$(readlink -f "$installed/tressary")" ]] ||
  fail "the prefix's bin/tressary does not lead to the installed program"
# Taken away before the installation is closed to writing.
chmod u+w "$installed"
rm -r "$installed/ImageOut" "$installed/Works"
(cd "$installed" && find . -type f -exec sha1sum {} + | sort) >"$work/installed.sha1"
[[ $(id -u) -eq 0 ]] || chmod a-w "$installed"
own=$XDG_DATA_HOME/tressary
mkdir -p "$work/bin"
# Recording stand-ins for every way the desktop opens a web page.
for opener in xdg-open x-www-browser sensible-browser www-browser firefox chromium gio kde-open5 gnome-open; do
  printf '#!/bin/sh\necho "%s $*" >> "%s/opened"\n' "$opener" "$work/out" > "$work/bin/$opener"
  chmod +x "$work/bin/$opener"
done
export PATH="$work/bin:$PATH" BROWSER="$work/bin/xdg-open"
# A portrait: a face with two eyes on a light ground, as a camera would save it.
/usr/bin/python3 - "$work/portrait.jpg" <<'PY'
import sys
from PIL import Image, ImageDraw
img = Image.new("RGB", (720, 900), (214, 220, 226))
d = ImageDraw.Draw(img)
d.ellipse((190, 170, 530, 650), fill=(226, 184, 152))
for x in (285, 435):
    d.ellipse((x - 28, 370, x + 28, 398), fill=(245, 245, 245))
    d.ellipse((x - 11, 373, x + 11, 395), fill=(60, 44, 36))
d.arc((300, 500, 420, 570), 20, 160, fill=(150, 60, 60), width=6)
img.save(sys.argv[1], quality=92)
PY
status=0
chmod a+r "$work/portrait.jpg"
FIRST_STEPS_PHOTO="$work/portrait.jpg" FIRST_STEPS_OUT="$work/out" \
  timeout 100 "$xvfb_free" -s "-screen 0 1024x768x24" bash -c '
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    sleep 1
    cd "$1" && "${@:2}" env HOME="$HOME" XDG_DATA_HOME="$XDG_DATA_HOME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" \
      PATH="$PATH" BROWSER="$BROWSER" ./first-steps
    status=$?
    kill $wm 2>/dev/null || true
    exit $status
  ' _ "$installed" "${as_user[@]}" 2>"$work/log" || status=$?
cat "$work/out/report.txt" 2>/dev/null || true
[[ $status -eq 0 ]] || fail "the walk ended with $status"
grep -q '^ended 0' "$work/out/report.txt" || fail "the program did not end normally"
read -r _ width height < <(grep '^export ' "$work/out/report.txt")
for kind in "jpg JPEG" "png PNG"; do
  set -- $kind
  file="$own/ImageOut/look.$1"
  [[ -f $file ]] || fail "no $file: the export did not take the chosen type's suffix or folder"
  seen=$(identify -format '%m %w %h' "$file[0]")
  [[ $seen == "$2 $width $height" ]] || fail "look.$1 is '$seen', not '$2 $width $height'"
  grep -qx "print lists look.$1" "$work/out/report.txt" || fail "the print window does not list look.$1"
done
grep -qx "work dialog in $own/Works" "$work/out/report.txt" ||
  fail "the first work save did not open in Works: $(grep '^work dialog' "$work/out/report.txt")"
compgen -G "$own/Works/first-work.*" >/dev/null || fail "the first work was not saved in the user's Works"
smoke_unchanged || fail "the installation was written to"
[[ ! -e $work/out/opened ]] || fail "a browser was started: $(cat "$work/out/opened")"
grep -q '^box ' "$work/out/report.txt" || fail "no question was asked on quitting"
while read -r _ distance _; do
  (( distance <= 2 )) || fail "a message box stood $distance pixels off the main window's centre"
done < <(grep '^box ' "$work/out/report.txt")
echo "ok ($user_kind): installed, photo, fit, work saved in the user's Works, hairstyle, JPEG and PNG ($width x $height), listed for printing, quit without a browser"
