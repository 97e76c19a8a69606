# Sourced by the smoke scripts that run windows under a virtual X server.
#
#   smoke_work                   a scratch folder $work (removed at exit unless
#                                KEEP_SMOKE is set) with private user folders, so
#                                nothing the program writes reaches the real home
#   smoke_install PROGRAM INST   a private copy of the installation INST in
#                                $work/Tressary with PROGRAM beside the data: the
#                                program finds its data next to itself and writes
#                                its ini and file-type registration there
smoke_work() {
  work=$(mktemp -d)
  trap 'if [[ -n ${KEEP_SMOKE:-} ]]; then echo "smoke files kept in $work" >&2; else rm -rf "$work"; fi' EXIT
  export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb
  mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

smoke_install() {
  cp -r "$2" "$work/Tressary"
  cp "$1" "$work/Tressary/"
}
