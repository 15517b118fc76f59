#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine through ctest; the Wine sessions
# the cases left for each other end with it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QTM_BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
. "$root/tests/wine/wine_env.sh"
. "$root/tests/wine/wine_session.sh"
trap 'wine_sessions_end "$build/wine"' EXIT
cd "$build"
ctest -j "$(nproc)" --output-on-failure "$@"
