#!/usr/bin/env bash
# A new user walks every online service of the real program under a virtual X
# server, over the shipped settings, against the stand-in publisher the program
# hosts: hub, registration, new elements, gallery, upload and chat.
#   xvfb-online-walk.sh <online-walk-demo> <installation>
set -euo pipefail
demo=$1 install=$2
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$demo" "$install"
mkdir -p "$work/out"
"$xvfb_free" -s "-screen 0 1024x768x24" "$work/Tressary/$(basename "$demo")" "$work/out" || true
if [[ -e $work/out/walk.ok ]]; then
  echo ok
  exit 0
fi
echo "the walk through the online services failed"
cat "$work/out/walk.fail" 2>/dev/null || true
exit 1
