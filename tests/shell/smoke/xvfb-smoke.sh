#!/usr/bin/env bash
# Smoke tests of the real program under a virtual X server.
#   xvfb-smoke.sh <tressary> <installation> start   1024x768x24: starts, backdrop black
#   xvfb-smoke.sh <tressary> <installation> small   800x600: ends with the resolution message
#   xvfb-smoke.sh <demo> <installation> shape       a skinned window is cut to its skin
#   xvfb-smoke.sh <tressary> <installation> intro   an intro picture shows centred, then goes
set -euo pipefail
program=$1 install=$2 mode=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$program" "$install"
size=1024x768x24
[[ $mode == small ]] && size=800x600x24
# A white root: a backdrop left for the server to paint must still come out black.
"$xvfb_free" -s "-screen 0 $size -wr" bash "$here/xvfb-inner.sh" "$mode" "$work/Tressary/$(basename "$program")" "$work"
