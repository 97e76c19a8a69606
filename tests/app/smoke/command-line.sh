#!/usr/bin/env bash
# The options a user tries first are answered on the terminal, with no display and
# no window: never taken for a work file to open.
#   command-line.sh <program>
set -euo pipefail
program=$1
fail() { echo "FAIL: $*"; exit 1; }
export -n DISPLAY WAYLAND_DISPLAY
unset QT_QPA_PLATFORM
for option in --help -h; do
  out=$(timeout 20 "$program" "$option" 2>&1) || fail "$option ended with $?: $out"
  [[ $out == "Usage: tressary"* ]] || fail "$option printed: $out"
  grep -q -- "--version" <<<"$out" || fail "$option does not name --version: $out"
done
for option in --version -v; do
  out=$(timeout 20 "$program" "$option" 2>&1) || fail "$option ended with $?: $out"
  [[ $out =~ ^Tressary\ [0-9]+\.[0-9]+ ]] || fail "$option printed: $out"
done
echo "ok: --help and --version answered without a window"
