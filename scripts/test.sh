#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine through ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QTM_BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
cd "$build"
ctest -j "$(nproc)" --output-on-failure "$@"
