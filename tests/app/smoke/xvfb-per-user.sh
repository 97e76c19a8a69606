#!/usr/bin/env bash
# The program installed by `cmake --install` and run by a user who cannot write
# to the installation: the settings, a work, a picture, a template saved from a
# layer and one downloaded from the stand-in publisher all land in the user's
# own folders, the browser shows both templates, a save into the installation
# says why it failed, and the installation is left as it was.
#   xvfb-per-user.sh <per-user-files> <build folder> <program folder under the prefix>
set -euo pipefail
harness=$1 build=$2 program_dir=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/xvfb-setup.sh"
smoke_work
fail() { echo "FAIL: $*"; cat "$work/out/report.txt" 2>/dev/null; [[ -f $work/log ]] && tail -20 "$work/log"; exit 1; }
smoke_read_only_install "$build" "$program_dir" "$harness"
status=0
PER_USER_OUT="$work/out" timeout 100 "$xvfb_free" -s "-screen 0 1024x768x24" \
  "${as_user[@]}" env HOME="$HOME" XDG_DATA_HOME="$XDG_DATA_HOME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" \
  bash -c 'cd "$1" && ./per-user-files' _ "$installed" 2>"$work/log" || status=$?
[[ $status -eq 0 ]] || fail "the program ended with $status"
grep -qx done "$work/out/report.txt" || fail "the walk did not end"
own=$XDG_DATA_HOME/tressary
expect() { grep -qxF "$1" "$work/out/report.txt" || fail "the report lacks '$1'"; }
expect "ini $XDG_CONFIG_HOME/tressary/Tressary.ini"
expect "user folder $own"
grep -q '^FromAddress=me@example.com' "$XDG_CONFIG_HOME/tressary/Tressary.ini" || fail "the settings are not in the user's file"
grep -qi '^KZTypeRegistered=YES' "$XDG_CONFIG_HOME/tressary/Tressary.ini" || fail "the registration flag was not kept"
expect "work $own/Works/mine.tsc"
expect "picture $own/ImageOut/look.png"
[[ $(identify -format '%m %w %h' "$own/ImageOut/look.png") == "PNG 60 80" ]] || fail "look.png is not the desk's picture"
/usr/bin/python3 -c 'import sys; d=open(sys.argv[1],"rb").read(); sys.exit(len(d) < 100)' "$own/Works/mine.tsc" ||
  fail "mine.tsc is empty"
read -r _ template < <(grep '^template ' "$work/out/report.txt")
[[ -f $own/$template ]] || fail "the saved template $template is not in the user's folder"
[[ -f $own/HairW/Magenta.psd ]] || fail "the downloaded template is not in the user's folder"
grep -q 'My own' "$own/PartBase.txt" && grep -q 'Magenta.psd' "$own/PartBase.txt" || fail "the user's list lacks the templates"
grep -q 'LongStr1.psd' "$own/PartBase.txt" || fail "the user's list lost the shipped templates"
expect "browser shows ${template#*/} in its colour from $own/$template"
expect "browser shows Magenta.psd in its colour from $own/HairW/Magenta.psd"
grep -q "^refused .*|$installed/refused.png|\(Permission to write there is denied\|The folder is read-only\)\.$" \
  "$work/out/report.txt" || fail "the refused save did not say why: $(grep '^refused' "$work/out/report.txt")"
smoke_unchanged || fail "the installation was written to"
echo "ok ($user_kind): settings, work, picture, saved and downloaded templates in $own, shown in the browser; the installation untouched"
