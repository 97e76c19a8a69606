#!/usr/bin/env bash
# The bald-head editor and the colour calibration on a real X server.
#   xvfb-baldhead.sh <bald-head-demo> <installation>
set -euo pipefail
demo=$1 install=$2
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
timeout 100 "$xvfb_free" -s "-screen 0 1024x768x24" "$demo" "$install"
echo ok
