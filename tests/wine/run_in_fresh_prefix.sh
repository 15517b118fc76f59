#!/usr/bin/env bash
# Runs one Windows program under Wine as on a machine of its own, on a private Xvfb display, and
# cleans up everything it started:
#   run_in_fresh_prefix.sh [--win64] <program.exe> [arguments...]
# The program runs in a booted session that is either fresh or proven to be as clean as a fresh
# one (wine_session.sh); with --win64 (a 64-bit prefix, where the program runs under WOW64 as a
# 32-bit program does on 64-bit Windows) or with a locale of its own (LC_ALL, from which Wine takes
# the ANSI code page for the whole session), it runs in a fresh prefix that ends with it. The
# build folder is the one above the program's (<build>/bin/<program>.exe); its wine folder holds
# the pristine prefixes and the sessions, and its artifacts folder receives what programs leave for
# people to look at. The program's exit code is passed on.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh"
. "$here/wine_session.sh"
arch=win32
if [ "${1:-}" = --win64 ]; then
  arch=win64
  shift
fi
program=$1
shift
build=$(cd "$(dirname "$program")/.." && pwd)
mkdir -p "$build/artifacts"
export QTM_ARTIFACT_DIR=$(wine_env_windows_path "$build/artifacts")

if [ $arch = win32 ] && [ -z "${LC_ALL:-}" ]; then
  trap 'exit 130' INT TERM
  wine_session_run "$build/wine" "$build/bin" "$program" "$@"
  exit $?
fi

trap wine_env_cleanup EXIT
trap 'exit 130' INT TERM
wine_env_fresh_prefix "$build/wine" "$arch" || exit 125
wine_env_private_display || exit 125
wine "$program" "$@"
