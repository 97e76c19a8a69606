#!/usr/bin/env bash
# The program links none of the libraries its first window does not need; it
# loads them from its modules on first use, none before its first window shows
# with the shipped settings. An intro picture (a JPEG, read
# through the imaging module) must show before the main window; with that module
# taken away the program must still reach its main window, the intro left out
# with the module's name on stderr, rather than crash; and without the sound and
# video module too it must keep running once its music would have started,
# with no library of the mail client's network in its memory.
#   xvfb-modules.sh <program> <installation>
set -euo pipefail
program=$1 install=$2
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$program" "$install"
exe=$work/Tressary/$(basename "$program")
needed=$(readelf -d "$exe" | grep NEEDED)
opened_on_first_use="GraphicsMagick curl gsf sane Qt6Multimedia Qt6Network"
for library in $opened_on_first_use; do
  if grep -q "$library" <<<"$needed"; then echo "FAIL: the program links $library"; exit 1; fi
done
# With the shipped ini (no intro, music or sounds) the first window needs none of
# the modules nor what they bring in.
TRESSARY_EXIT_ON_FIRST_SHOW=1 TRESSARY_FIRST_SHOW_MAPS=$work/maps \
  "$xvfb_free" -s "-screen 0 1024x768x24" timeout 60 "$exe" 2>"$work/log" ||
  { cat "$work/log"; echo "FAIL: the shipped program did not reach its main window"; exit 1; }
[[ -s $work/maps ]] || { echo "FAIL: no memory map at the first show"; exit 1; }
grep -q libQt6Widgets "$work/maps" || { echo "FAIL: the memory map at the first show is not the program's"; exit 1; }
for library in libtressary- gstreamer pulse $opened_on_first_use; do
  if grep "$library" "$work/maps"; then echo "FAIL: $library is loaded before the first window shows"; exit 1; fi
done
/usr/bin/python3 -c 'import sys; from PIL import Image; Image.new("RGB", (240, 160), (200, 30, 160)).save(sys.argv[1], quality=95)' \
  "$work/Tressary/Intro.jpg"
sed -i 's/^\[Intro Video\]\(\r\?\)$/&\nIntro=Intro.jpg;3000\1/' "$work/Tressary/Tressary.ini"
export TRESSARY_EXIT_ON_FIRST_SHOW=1
"$xvfb_free" -s "-screen 0 1024x768x24" bash -c '
exe=$1 work=$2
"$exe" 2>"$work/log" &
pid=$!
shown=no
while kill -0 "$pid" 2>/dev/null; do
  if [[ $shown == no ]] && import -window root -crop 1x1+512+384 txt:- 2>/dev/null | grep -qE "\((19[0-9]|20[0-9]|21[0-9]),([2-3][0-9]|4[0-5]),(1[5-6][0-9]|17[0-5])\)"; then
    shown=yes
  fi
  sleep 0.2
done
wait "$pid" || { cat "$work/log"; echo "FAIL: the program did not reach its main window"; exit 1; }
[[ $shown == yes ]] || { cat "$work/log"; echo "FAIL: the intro picture never showed"; exit 1; }
rm "$(dirname "$exe")/libtressary-imaging.so"
timeout 60 "$exe" 2>"$work/log" || { cat "$work/log"; echo "FAIL: without the imaging module the program did not reach its main window"; exit 1; }
grep -q "The intro picture is left out: .*libtressary-imaging.so" "$work/log" ||
  { cat "$work/log"; echo "FAIL: the missing module was not named"; exit 1; }
rm "$(dirname "$exe")/libtressary-multimedia.so"
TRESSARY_EXIT_ON_FIRST_SHOW= "$exe" 2>"$work/log" &
pid=$!
# A loaded machine may take its time to the main window: waited for, not slept on.
for _ in $(seq 120); do
  kill -0 "$pid" 2>/dev/null || { cat "$work/log"; echo "FAIL: without the multimedia module the program ended"; exit 1; }
  xdotool search --onlyvisible --name "^Tressary\$" >/dev/null 2>&1 && break
  sleep 0.5
done
xdotool search --onlyvisible --name "^Tressary\$" >/dev/null ||
  { kill "$pid"; echo "FAIL: without the multimedia module no main window"; exit 1; }
# And it keeps running past its start.
sleep 3
kill -0 "$pid" 2>/dev/null || { cat "$work/log"; echo "FAIL: without the multimedia module the program ended"; exit 1; }
if grep -E "libQt6Network|libtressary-network" "/proc/$pid/maps"; then
  kill "$pid"; echo "FAIL: the network was loaded before any mail"; exit 1
fi
kill "$pid"
echo "ok: the intro picture through the imaging module, without it a named failure, without the multimedia module a running program, no network loaded"
' _ "$exe" "$work"
