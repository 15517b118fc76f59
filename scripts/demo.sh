#!/usr/bin/env bash
# The uninstaller's main job under Wine, in a fresh 32-bit prefix of its own. With a display
# (DISPLAY set) you work the dialog yourself; without one, the robot works it on a private Xvfb
# display and leaves a screenshot in build/artifacts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QTM_BUILD_DIR:-$root/build}
"$root/scripts/build.sh" >/dev/null
. "$root/tests/wine/wine_env.sh"
trap wine_env_cleanup EXIT
trap 'exit 130' INT TERM

wine_env_fresh_prefix "$build/wine"
bin=$build/bin
mkdir -p "$build/artifacts"

if [ -n "${DISPLAY:-}" ]; then
  echo "== The uninstaller is on your display; use it, then close it."
  wine "$bin/qtm820wide_uninstall.exe" || true
else
  wine_env_private_display
  screenshot=$(wine_env_windows_path "$build/artifacts/demo_dialog.png")
  echo "== No display: the robot works the dialog."
  wine "$bin/robot.exe" --screenshot "$screenshot" --cancel "$bin/qtm820wide_uninstall.exe" || true
fi
