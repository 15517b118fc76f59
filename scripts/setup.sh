#!/usr/bin/env bash
# Installs what building and running under Wine need, when it is missing (Debian packages):
# the i686 mingw-w64 cross compilers, CMake, GoogleTest's sources, 32-bit Wine, 64-bit Wine (for
# the test that runs the uninstaller as on 64-bit Windows) and Xvfb, and a way to run 32-bit x86
# programs where the host has none of its own.
set -euo pipefail

missing=()
command -v cmake >/dev/null || missing+=(cmake)
command -v i686-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-i686 mingw-w64-tools)
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
command -v Xvfb >/dev/null || missing+=(xvfb)
command -v flock >/dev/null || missing+=(util-linux)
if ! command -v wine >/dev/null || ! dpkg -s wine32:i386 >/dev/null 2>&1; then
  missing+=(wine wine32:i386)
fi
dpkg -s wine64 >/dev/null 2>&1 || missing+=(wine64)

if [ ${#missing[@]} -gt 0 ]; then
  sudo=
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi
"$(dirname "$0")/enable_32bit_x86.sh"
