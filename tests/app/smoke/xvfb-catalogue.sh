#!/usr/bin/env bash
# Steps of catalogue-check (catalogue, clip, shops) in one run of the real
# program under a virtual X server; after "shops" the printed shop list must name
# every shop the list showed.   xvfb-catalogue.sh <catalogue-check> <installation> STEP...
set -euo pipefail
harness=$1 install=$2
shift 2
steps=("$@")
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$harness" "$install"
mkdir -p "$work/out"
run() { "$xvfb_free" -s "-screen 0 1024x768x24" "$work/Tressary/$(basename "$harness")" "$work/out" "${steps[@]}"; }
# Status 3: the event loop stopped turning (its threads' stacks are above). Seen
# once in many runs on a loaded machine, while the clip player ran;
# one more run must then pass every check.
status=0
run || status=$?
if [[ $status == 3 ]]; then
  echo "the run was stuck; once more"
  status=0
  run || status=$?
fi
[[ $status == 0 ]] || exit "$status"
if [[ " ${steps[*]} " != *" shops "* ]]; then
  echo "ok: ${steps[*]}"
  exit 0
fi
pdf=$work/out/shops.pdf
[[ -s $pdf && -s $work/out/shops.txt ]] || { echo "no shop list was printed"; exit 1; }
text=$(pdftotext -layout "$pdf" -)
while IFS= read -r shop; do
  grep -qF -- "$shop" <<<"$text" || { echo "the printed list lacks \"$shop\""; exit 1; }
done <"$work/out/shops.txt"
echo "ok: ${steps[*]} and the printed shop list"
