#!/usr/bin/env bash
# The program's start under a virtual X server, judged by skin-check from inside
# the running program.
#   xvfb-skins.sh <skin-check> <installation>
#       every window shows its skin
#   xvfb-skins.sh <skin-check> <installation> --clicks
#       from a fresh start, every window the main window's controls open,
#       opened by a click, shows its skin and caption
#   xvfb-skins.sh <skin-check> <installation> <skin file> <window>
#       with every copy of <skin file> taken out of the installation, the check
#       must fail and name <window>
set -euo pipefail
harness=$1 install=$2 removed=${3:-} window=${4:-} mode=()
if [[ $removed == --clicks ]]; then mode=(--clicks) removed=; fi
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$harness" "$install"
if [[ -n $removed ]]; then
  found=$(find "$work/Tressary" -iname "$removed")
  [[ -n $found ]] || { echo "no $removed in the installation"; exit 1; }
  rm -f $found
fi
status=0
"$xvfb_free" -s "-screen 0 1024x768x24" "$work/Tressary/$(basename "$harness")" "${mode[@]}" "$work/shots" 2>"$work/log" || status=$?
cat "$work/log"
[[ -n ${KEEP_SMOKE:-} ]] && echo "the main window's screenshot: $work/shots/main-window.png"
if [[ -z $removed ]]; then
  exit $status
fi
[[ $status -ne 0 ]] || { echo "the check passed without $removed"; exit 1; }
grep -q "^FAIL $window: has no skin" "$work/log" || { echo "the check did not name $window"; exit 1; }
echo "ok: without $removed the check names $window"
