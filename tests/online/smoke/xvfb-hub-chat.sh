#!/usr/bin/env bash
# Two programs meet online under one virtual X server: the first opens the
# online window from its main window and reads a publisher message with frames;
# then both chat through the stand-in chat script the first one hosts, in
# public and privately. Each program runs from its own copy of the installation.
#   xvfb-hub-chat.sh <hub-chat-demo> <installation>
set -euo pipefail
demo=$1 install=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/xvfb-setup.sh"
smoke_work
for who in anna bob; do
  cp -r "$install" "$work/$who"
  cp "$demo" "$work/$who/"
done
mkdir -p "$work/out"
"$xvfb_free" -s "-screen 0 1024x768x24" bash -c '
work=$1 name=$2
HUB_CHAT_OUT=$work/out HUB_CHAT_ROLE=anna "$work/anna/$name" &
anna=$!
HUB_CHAT_OUT=$work/out HUB_CHAT_ROLE=bob "$work/bob/$name" &
bob=$!
status=1
for _ in $(seq 240); do
  sleep 0.5
  [[ -e $work/out/anna.fail || -e $work/out/bob.fail ]] && break
  if [[ -e $work/out/anna.ok && -e $work/out/bob.ok ]]; then
    status=0
    break
  fi
  kill -0 "$anna" 2>/dev/null && kill -0 "$bob" 2>/dev/null || break
done
kill "$anna" "$bob" 2>/dev/null || true
wait || true
exit $status
' _ "$work" "$(basename "$demo")" || {
  echo "the two programs did not meet online"
  cat "$work"/out/*.fail 2>/dev/null || true
  exit 1
}
echo ok
