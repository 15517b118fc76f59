# Shared by the test launcher and the demo: a fresh copy of the pristine prefix and a private
# Xvfb display, both cleaned up by wine_env_cleanup. Source it; it defines functions only.

wine_env_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_env_work=
wine_env_xvfb_pid=

# wine_env_fresh_prefix <wine-dir> [win32|win64]: exports WINEPREFIX to a new copy of the pristine
# prefix of that architecture (32-bit by default; see prepare_prefix.sh).
wine_env_fresh_prefix() {
  local arch=${2:-win32} name=pristine
  [ "$arch" = win64 ] && name=pristine-win64
  "$wine_env_here/prepare_prefix.sh" "$1" "$arch" || return 1
  wine_env_work=$(mktemp -d "${TMPDIR:-/tmp}/qtm-wine.XXXXXX") || return 1
  cp -a "$(cd "$1" && pwd)/$name" "$wine_env_work/prefix" || return 1
  export WINEPREFIX=$wine_env_work/prefix WINEARCH=$arch WINEDEBUG=${WINEDEBUG:--all}
}

# wine_env_private_display: starts Xvfb on a display it picks itself and exports DISPLAY.
wine_env_private_display() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$wine_env_work/display" 2>/dev/null &
  wine_env_xvfb_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$wine_env_work/display" ] && break
    sleep 0.05
  done
  [ -s "$wine_env_work/display" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$(cat "$wine_env_work/display")
}

# The Wine processes that run in the given prefix: Wine's own programs whose environment names it
# as WINEPREFIX (the shells of this file, whose environment may name it too, are not among them).
# One grep reads every environment: a pair of programs started for each process of the machine
# cost seconds a case.
wine_env_prefix_pids() {
  local environ pid
  for environ in $(grep -lsxzF "WINEPREFIX=$1" /proc/[0-9]*/environ); do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    grep -qsF /wine /proc/"$pid"/cmdline && echo "$pid"
  done
}

# Ends the prefix's Wine processes and our Xvfb, by its pid, and removes the copy.
# Under QEMU's user-mode emulator (see scripts/enable_32bit_x86.sh) a Wine process now and then
# deadlocks while it exits and keeps its server, and so "wineserver -w", waiting for ever; the wait
# is bounded, and what of the prefix still runs then is ended by pid.
wine_env_cleanup() {
  if [ -n "$wine_env_work" ]; then
    local prefix=$wine_env_work/prefix pid
    WINEPREFIX=$prefix wineserver -k 2>/dev/null
    WINEPREFIX=$prefix timeout 60 wineserver -w 2>/dev/null
    for pid in $(wine_env_prefix_pids "$prefix"); do kill -9 "$pid" 2>/dev/null; done
  fi
  if [ -n "$wine_env_xvfb_pid" ]; then
    kill "$wine_env_xvfb_pid" 2>/dev/null
    wait "$wine_env_xvfb_pid" 2>/dev/null
  fi
  [ -n "$wine_env_work" ] && rm -rf "$wine_env_work"
  wine_env_work=
  wine_env_xvfb_pid=
}

# A Linux path as Wine's Z: drive sees it.
wine_env_windows_path() {
  local path
  path=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  echo "Z:${path//\//\\}"
}
