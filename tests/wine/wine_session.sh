# Booted Wine sessions that test cases take in turn, each one as clean as a fresh prefix. Source it
# after wine_env.sh; it defines functions only.
#
# A fresh prefix costs a copy and Wine's first start (services, device drivers, the desktop: 4 to
# 10 s under emulation, the larger part of most cases); a program started in a running session
# costs well under one. So a session outlives its case when the case passed and the session is
# proven to be as it began: the same programs running, every service in the same state, every
# file of the prefix and every key and value of HKEY_LOCAL_MACHINE and HKEY_USERS the same, and
# the security of every key where the uninstaller and the tests change it (machine_state.exe and
# session_state.py). What a passing case changed is put back first (files from the pristine prefix,
# the registry through regedit) and then proven; anything that cannot be put back or proven (a
# failed or crashed case, a program left running, a service configured, a key locked) ends the
# session, and the next case takes a fresh one.
#
# Sessions live in <wine-dir>/sessions/<n>, one case at a time (a lock held for the case); the log
# there tells, case by case, whether a session was fresh or reused and whether it was kept. An idle
# one ends itself after a minute; wine_sessions_end ends them all at once.

wine_session_idle_seconds=60

# The programs that run in a prefix, by command line, sorted: a restarted service has a new pid
# but is the same program. Wine's desktop and its RPC service are not among them: each ends by
# itself once idle, and starts again when a program needs it.
wine_session_programs() {
  local pid
  for pid in $(wine_env_prefix_pids "$1"); do tr '\0' ' ' </proc/"$pid"/cmdline; echo; done |
    grep -v -e 'explorer\.exe /desktop' -e 'rpcss\.exe' -e '^ *$' | sort
}

# wine_session_end <session>: ends its programs and display by pid and removes it.
wine_session_end() {
  local session=$1 pid
  if [ -d "$session/prefix" ]; then
    WINEPREFIX=$session/prefix wineserver -k 2>/dev/null
    WINEPREFIX=$session/prefix timeout 60 wineserver -w 2>/dev/null
    for pid in $(wine_env_prefix_pids "$session/prefix"); do kill -9 "$pid" 2>/dev/null; done
  fi
  [ -f "$session/xvfb.pid" ] && kill "$(cat "$session/xvfb.pid")" 2>/dev/null
  rm -rf "$session"
}

# wine_sessions_end <wine-dir>: ends every session, waiting for those in use.
wine_sessions_end() {
  local lock
  for lock in "$1"/sessions/*.lock; do
    [ -e "$lock" ] || continue
    (flock 9 && wine_session_end "${lock%.lock}") 9>"$lock"
  done
}

# Ends the session once no case has held it for a while, or at once when the case that held it
# ended before it could say so (ctest ends a case that runs out of time).
wine_session_watch() {
  local session=$1
  while sleep 10; do
    [ -d "$session" ] || return 0
    (
      flock -n 9 || exit 1
      [ -f "$session/ready" ] && [ $(($(date +%s) - $(stat -c %Y "$session/ready"))) -lt $wine_session_idle_seconds ] &&
        exit 1
      wine_session_end "$session"
    ) 9>"$session.lock" && return 0
  done
}

# The state the session is in, into <session>/<name>; with a third argument, the services that did
# not run when the session began are stopped first.
wine_session_record() {
  local session=$1 name=$2 began=()
  [ -n "${3:-}" ] && began=("$(wine_env_windows_path "$session/began")")
  rm -rf "${session:?}/$name"
  mkdir -p "$session/$name"
  wine "$wine_session_bin/machine_state.exe" "$(wine_env_windows_path "$session/$name")" "${began[@]}" \
    </dev/null >/dev/null 2>&1 8>&- &&
    python3 "$wine_env_here/session_state.py" files "$session/prefix" "$session/$name/files.txt"
}

# Boots a session in <session> from the pristine prefix. Everything that outlives the case is
# started with no terminal of the case's own, so that ctest, which reads the case's output until it
# ends, does not wait for the session.
wine_session_boot() {
  local session=$1 pristine=$2
  mkdir -p "$session"
  cp -a "$pristine" "$session/prefix" || return 1
  export WINEPREFIX=$session/prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$session/display" </dev/null >/dev/null 2>&1 8>&- &
  echo $! >"$session/xvfb.pid"
  for _ in $(seq 1 100); do
    [ -s "$session/display" ] && break
    sleep 0.05
  done
  [ -s "$session/display" ] || return 1
  export DISPLAY=:$(cat "$session/display")
  # It stays between cases.
  wineserver -p </dev/null >/dev/null 2>&1 8>&-
  wine_session_record "$session" began || return 1
  wine_session_programs "$WINEPREFIX" >"$session/began/programs.txt"
  (env -u WINEPREFIX setsid bash -c ". '$wine_env_here/wine_env.sh'; . '$wine_env_here/wine_session.sh'; wine_session_watch '$session'" \
    </dev/null >/dev/null 2>&1 8>&- &)
}

# Puts back what the case changed and proves the session is as it began; says why not, if not.
wine_session_restore() {
  local session=$1 pristine=$2
  local left
  wine_session_record "$session" now stop || { echo "state not recorded"; return 1; }
  left=$(wine_session_programs "$WINEPREFIX" | diff - "$session/began/programs.txt" | grep '^[<>]' | tr '\n' ' ')
  [ -z "$left" ] || { echo "programs differ: $left"; return 1; }
  python3 "$wine_env_here/session_state.py" same "$WINEPREFIX" "$session/began" "$session/now" 2>/dev/null && return 0
  python3 "$wine_env_here/session_state.py" restore "$pristine" "$WINEPREFIX" "$session/began" "$session/now" \
    "$session/undo.reg" || return 1
  wine regedit /s "$(wine_env_windows_path "$session/undo.reg")" </dev/null >/dev/null 2>&1 8>&-
  wine_session_record "$session" now || { echo "state not recorded"; return 1; }
  python3 "$wine_env_here/session_state.py" same "$WINEPREFIX" "$session/began" "$session/now" 2>&1 | head -1
  return "${PIPESTATUS[0]}"
}

# wine_session_run <wine-dir> <bin-dir> <program> [arguments...]: runs the program in a clean
# session, fresh or proven, and passes its exit code on.
wine_session_run() {
  local wine_dir=$1 n session lock status taken=reused kept=kept why
  wine_session_bin=$2
  shift 2
  "$wine_env_here/prepare_prefix.sh" "$wine_dir" win32 || return 125
  mkdir -p "$wine_dir/sessions"
  for n in $(seq 1 64); do
    lock=$wine_dir/sessions/$n.lock
    exec 8>"$lock"
    flock -n 8 && break
    exec 8>&-
  done
  session=$wine_dir/sessions/$n
  export WINEPREFIX=$session/prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
  if [ -f "$session/ready" ] && kill -0 "$(cat "$session/xvfb.pid")" 2>/dev/null &&
    [ "$(wine_session_programs "$WINEPREFIX")" = "$(cat "$session/began/programs.txt")" ]; then
    rm -f "$session/ready"
    export DISPLAY=:$(cat "$session/display")
  else
    taken=fresh
    wine_session_end "$session"
    wine_session_boot "$session" "$wine_dir/pristine" || { wine_session_end "$session"; return 125; }
  fi
  wine "$@" 8>&-
  status=$?
  if [ $status -ne 0 ]; then
    kept="ended (the case failed)"
  elif ! why=$(wine_session_restore "$session" "$wine_dir/pristine"); then
    kept="ended ($why)"
  fi
  if [ "$kept" = kept ]; then
    touch "$session/ready"
  else
    wine_session_end "$session"
  fi
  exec 8>&-
  echo "$(date -u +%T) session $n $taken $kept $status: $(basename "$1") ${*:2}" >>"$wine_dir/sessions/log"
  return $status
}
