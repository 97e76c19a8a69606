#!/usr/bin/env bash
# Smoke tests of the real program under a virtual X server.
#   xvfb-smoke.sh start <tressary> <installation>   1024x768x24: starts, backdrop black
#   xvfb-smoke.sh small <tressary> <installation>   800x600: ends with the resolution message
#   xvfb-smoke.sh shape <demo> <installation>       a skinned window is cut to its skin
#   xvfb-smoke.sh intro <tressary> <installation>   an intro picture shows centred, then goes
set -euo pipefail
mode=$1 program=$2 install=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$program" "$install"
size=1024x768x24
[[ $mode == small ]] && size=800x600x24
"$xvfb_free" -s "-screen 0 $size" bash "$here/xvfb-inner.sh" "$mode" "$work/Tressary/$(basename "$program")" "$work"
