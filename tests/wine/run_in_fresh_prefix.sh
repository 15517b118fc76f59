#!/usr/bin/env bash
# Runs one Windows program under Wine in a fresh copy of the pristine prefix, on a private Xvfb
# display, and cleans up everything it started:
#   run_in_fresh_prefix.sh [--win64] <program.exe> [arguments...]
# With --win64 the prefix is a 64-bit one, where the program runs under WOW64 as a 32-bit program
# does on 64-bit Windows. The build folder is the one above the program's
# (<build>/bin/<program>.exe); its wine folder holds the pristine prefixes and its artifacts folder
# receives what programs leave for people to look at. The program's exit code is passed on.
set -uo pipefail
. "$(cd "$(dirname "$0")" && pwd)/wine_env.sh"
arch=win32
if [ "${1:-}" = --win64 ]; then
  arch=win64
  shift
fi
program=$1
shift
build=$(cd "$(dirname "$program")/.." && pwd)

trap wine_env_cleanup EXIT
trap 'exit 130' INT TERM
wine_env_fresh_prefix "$build/wine" "$arch" || exit 125
wine_env_private_display || exit 125
mkdir -p "$build/artifacts"
export QTM_ARTIFACT_DIR=$(wine_env_windows_path "$build/artifacts")

wine "$program" "$@"
