#!/usr/bin/env bash
# The part of xvfb-desk.sh that runs inside the virtual X server.
set -euo pipefail
demo=$1 install=$2 work=$3
source "$(dirname "$0")/xvfb-setup.sh"
"$demo" "$install" "$work/out" "$work/ramp.png" "$work/disc.png" &
check() {
  /usr/bin/python3 "$(dirname "$0")/desk-shows-export.py" "$work/shot.png" "$work/out/export.png" \
    "$work/out/geometry.txt" 20001
}
if smoke_watch $! "$work/out/geometry.txt" 40 check; then echo "ok"; exit 0; fi
echo "the desk never showed the export picture"
exit 1
