#!/usr/bin/env bash
# Layer regions, the region editor and a region saved as a template, on a real
# X server, over a private copy of the installation (the save adds a template).
#   xvfb-regions.sh <regions-demo> <installation>
set -euo pipefail
demo=$1 install=$2
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
cp -r "$install" "$work/Tressary"
timeout 100 "$xvfb_free" -s "-screen 0 1024x768x24" "$demo" "$work/Tressary"
echo ok
