# Sourced by the smoke scripts that run windows under a virtual X server.
#
#   smoke_work                   a scratch folder $work (removed at exit unless
#                                KEEP_SMOKE is set) with private user folders, so
#                                nothing the program writes reaches the real home
#   smoke_install PROGRAM INST   a private copy of the installation INST in
#                                $work/Tressary with PROGRAM beside the data: the
#                                program finds its data next to itself and writes
#                                its ini and file-type registration there
# $xvfb_free: runs a command under a virtual X server of its own (see that script)
xvfb_free=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/xvfb-free

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

# smoke_watch PID READY TRIES CHECK...
#                              every half second while the demo PID runs: once the
#                              file READY is written, a screenshot into
#                              $work/shot.png and the command CHECK; ends the demo
#                              and succeeds when CHECK does, fails when the demo
#                              ends first or after TRIES looks
smoke_watch() {
  local pid=$1 ready=$2 tries=$3
  shift 3
  for _ in $(seq "$tries"); do
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || { echo "the demo ended early"; return 1; }
    [[ -s $ready ]] || continue
    import -window root "$work/shot.png" 2>/dev/null || continue
    if "$@"; then
      kill "$pid"
      wait "$pid" || true
      return 0
    fi
  done
  kill "$pid" 2>/dev/null || true
  return 1
}
