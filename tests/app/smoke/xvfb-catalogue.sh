#!/usr/bin/env bash
# The catalogue, the clip player and the shop list in one run of the real program
# under a virtual X server; then the printed shop list must name every shop the
# list showed.   xvfb-catalogue.sh <catalogue-check> <installation>
set -euo pipefail
harness=$1 install=$2
source "$(dirname "$0")/../../support/xvfb-setup.sh"
smoke_work
smoke_install "$harness" "$install"
mkdir -p "$work/out"
# The steps in the order they run (see catalogue-check). A questionnaire step
# that filters the browser goes first, before "catalogue".
steps=(catalogue clip shops)
"$xvfb_free" -s "-screen 0 1024x768x24" "$work/Tressary/$(basename "$harness")" "$work/out" "${steps[@]}"
pdf=$work/out/shops.pdf
[[ -s $pdf && -s $work/out/shops.txt ]] || { echo "no shop list was printed"; exit 1; }
text=$(pdftotext -layout "$pdf" -)
while IFS= read -r shop; do
  grep -qF -- "$shop" <<<"$text" || { echo "the printed list lacks \"$shop\""; exit 1; }
done <"$work/out/shops.txt"
echo "ok: catalogue page, clip and printed shop list"
