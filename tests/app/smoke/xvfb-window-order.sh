#!/usr/bin/env bash
# window-order under a virtual X server with a window manager (openbox), which
# keeps a transient window above the window it belongs to.
#   xvfb-window-order.sh <window-order> <installation>
set -euo pipefail
harness=$1 install=$2
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$harness" "$install"
status=0
timeout 460 "$xvfb_free" -s "-screen 0 1280x1024x24" bash -c '
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  sleep 1
  (cd "$1" && "./$2")
  status=$?
  kill $wm 2>/dev/null
  exit $status
' _ "$work/Tressary" "$(basename "$harness")" >"$work/log" 2>&1 || status=$?
cat "$work/log"
exit $status
