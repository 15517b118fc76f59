#!/usr/bin/env bash
# Makes the pristine Wine prefix that every run copies, once per build folder and architecture:
#   prepare_prefix.sh <wine-dir> [win32|win64]
# A 32-bit prefix (the default) lands in <wine-dir>/pristine, a 64-bit one, where 32-bit programs
# run under WOW64 as on 64-bit Windows, in <wine-dir>/pristine-win64.
# Safe to call from many tests at once: the first caller builds it, the others wait.
set -euo pipefail
arch=${2:-win32}
case $arch in
  win32) name=pristine ;;
  win64) name=pristine-win64 ;;
  *) echo "prepare_prefix.sh: unknown architecture $arch" >&2; exit 2 ;;
esac
mkdir -p "$1"
wine_dir=$(cd "$1" && pwd)
pristine=$wine_dir/$name
exec 9>"$wine_dir/$name.lock"
flock 9
[ -f "$pristine/.ready" ] && exit 0

rm -rf "$pristine"
export WINEPREFIX=$pristine WINEARCH=$arch WINEDEBUG=-all
# No Mono or Gecko installers: nothing here needs them, and they would ask on screen.
export WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
# Without a window manager Wine waits about two seconds whenever a window is hidden; unmanaged
# windows avoid that. A crashing program prints its backtrace instead of opening a dialog.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wineserver -w
touch "$pristine/.ready"
