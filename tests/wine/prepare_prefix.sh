#!/usr/bin/env bash
# Makes the pristine 32-bit Wine prefix that every run copies, once per build folder:
#   prepare_prefix.sh <wine-dir>     (the prefix lands in <wine-dir>/pristine)
# Safe to call from many tests at once: the first caller builds it, the others wait.
set -euo pipefail
mkdir -p "$1"
wine_dir=$(cd "$1" && pwd)
pristine=$wine_dir/pristine
exec 9>"$wine_dir/pristine.lock"
flock 9
[ -f "$pristine/.ready" ] && exit 0

rm -rf "$pristine"
export WINEPREFIX=$pristine WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko installers: nothing here needs them, and they would ask on screen.
export WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
# Without a window manager Wine waits about two seconds whenever a window is hidden; unmanaged
# windows avoid that. A crashing program prints its backtrace instead of opening a dialog.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wineserver -w
touch "$pristine/.ready"
