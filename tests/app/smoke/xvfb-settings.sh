#!/usr/bin/env bash
# The settings window under a virtual X server: a second interface beside the
# default one, changed and saved in one run of the program, found in force in
# the next.   xvfb-settings.sh <settings-check> <installation>
set -euo pipefail
harness=$1 install=$2
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$harness" "$install"
inst=$work/Tressary
# "Night": the default pictures with a palette grid of its own, so that the
# running interface shows.
cp -r "$inst/Intfaces/DEFAULT" "$inst/Intfaces/NIGHT"
sed -i "s/^SECTION FormMain TFormMain.*/&\n  PaletteBtnCols = 2; PaletteBtnRows = 2; PaletteBtnShowPos = '24,296, 124,296, 24,348, 124,348';/" \
  "$inst/Intfaces/NIGHT/1024-768/INTFACE.TXT"
sed -i "s/^Interface1=.*/&\nInterface2=Night;Night;0;/" "$inst/Tressary.ini"
program=$inst/$(basename "$harness")
for step in change restart; do
  "$xvfb_free" -s "-screen 0 1024x768x24" "$program" "$step"
done
