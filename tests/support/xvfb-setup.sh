# Sourced by the smoke scripts that run windows under a virtual X server.
#
#   smoke_work                   a scratch folder $work (removed at exit unless
#                                KEEP_SMOKE is set) with private user folders, so
#                                nothing the program writes reaches the real home
#   smoke_read_only_install BUILD PROGRAM_DIR HARNESS
#                                `cmake --install` of BUILD into $work/prefix, with
#                                HARNESS beside the installed program, made an
#                                installation its user cannot write to: as root the
#                                program then runs as the user "nobody" (setpriv),
#                                for whom root's installed tree is read-only as a
#                                system install is for any user (where no other
#                                user can be taken, root over a read-only mount);
#                                as anyone else the tree loses its write
#                                permissions. Sets $installed,
#                                $as_user (the command prefix that runs as that
#                                user, with private HOME and XDG folders) and
#                                $user_kind (what was checked, for the log)
#   smoke_unchanged              fails unless the installation holds the same files
#                                with the same bytes as when it was made read-only
#   smoke_install PROGRAM INST   a private copy of the installation INST in
#                                $work/Tressary with PROGRAM beside the data: the
#                                program finds its data next to itself and writes
#                                its ini and file-type registration there
# $xvfb_free: runs a command under a virtual X server of its own (see that script)
xvfb_free=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/xvfb-free

smoke_work() {
  work=$(mktemp -d)
  trap 'if [[ -n ${KEEP_SMOKE:-} ]]; then echo "smoke files kept in $work" >&2; else chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"; fi' EXIT
  export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb
  mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

smoke_read_only_install() {
  cmake --install "$1" --prefix "$work/prefix" >/dev/null
  installed=$work/prefix/$2
  cp "$3" "$installed/"
  export XDG_CONFIG_HOME=$work/home/config
  mkdir -p "$XDG_CONFIG_HOME" "$work/out"
  (cd "$installed" && find . -type f -exec sha1sum {} + | sort) >"$work/installed.sha1"
  if [[ $(id -u) -eq 0 ]] && setpriv --reuid=65534 --regid=65534 --clear-groups -- true 2>/dev/null; then
    chmod 755 "$work" "$work/prefix"
    chown -R 65534:65534 "$HOME" "$XDG_RUNTIME_DIR" "$work/out"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
    user_kind="as the user nobody, the installation root's"
  elif [[ $(id -u) -eq 0 ]]; then
    # No other user here: root, with the installation mounted read-only in a
    # mount namespace of the program's own.
    as_user=(unshare -m sh -c 'mount --bind "$0" "$0" && mount -o remount,bind,ro "$0" && exec "$@"' "$installed")
    "${as_user[@]}" true || { echo "FAIL: neither another user nor a read-only mount is allowed here"; exit 1; }
    user_kind="as root, the installation on a read-only mount"
  else
    chmod -R a-w "$installed"
    as_user=()
    user_kind="as $(id -un), the installation without write permissions"
  fi
}

smoke_unchanged() {
  local now
  now=$(cd "$installed" && find . -type f -exec sha1sum {} + | sort)
  [[ $now == "$(cat "$work/installed.sha1")" ]] ||
    { echo "FAIL: the installation changed:"; diff <(echo "$now") "$work/installed.sha1" | head; return 1; }
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
