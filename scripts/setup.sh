#!/usr/bin/env bash
# Installs what building and running under Wine need, when it is missing (Debian packages):
# the i686 mingw-w64 cross compilers, CMake, GoogleTest's sources, 32-bit Wine, 64-bit Wine (for
# the test that runs the uninstaller as on 64-bit Windows) and Xvfb, and a way to run 32-bit x86
# programs where the host has none of its own.
set -euo pipefail
. "$(dirname "$0")/debian_mirror.sh"

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

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo

apt_update() {
  local attempt
  for attempt in 1 2 3; do
    $sudo apt-get update -q "$@" && return 0
    sleep 10
  done
  return 1
}

apt_install() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "$@"
}

# A mirror in the middle of a sync can serve one suite's index stale for hours (seen: the security
# suite's i386 index, "File has unexpected size"). Wine's 32-bit libraries must then match
# amd64 versions from an index that is missing, and the install fails. The release suites alone
# are consistent with each other, so the packages come from them instead, from the mirror the
# machine's own sources name for the main archive.
install_from_release_suites() {
  . /etc/os-release
  local mirror lists
  mirror=$(debian_mirror)
  if [ -z "$mirror" ]; then
    echo "No entry of apt's sources serves Debian's $VERSION_CODENAME main archive: cannot fall back to it" >&2
    return 1
  fi
  lists=$(mktemp -d)
  echo "deb $mirror $VERSION_CODENAME main" >"$lists/sources.list"
  mkdir "$lists/parts"
  local only=(-o Dir::Etc::sourcelist="$lists/sources.list" -o Dir::Etc::sourceparts="$lists/parts")
  echo "Installing from the $VERSION_CODENAME release suite alone: the mirror's other indexes are incomplete"
  apt_update "${only[@]}" && apt_install "${only[@]}" "$@"
  local status=$?
  rm -rf "$lists"
  $sudo apt-get update -q >/dev/null 2>&1 || true
  return $status
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  if ! { apt_update && apt_install "${missing[@]}"; }; then
    install_from_release_suites "${missing[@]}"
  fi
fi
"$(dirname "$0")/enable_32bit_x86.sh"
