#!/usr/bin/env bash
# The uninstaller's main job under Wine, in a fresh 32-bit prefix of its own: stage a complete
# sample installation with look-alikes of other products beside it, list what is installed, run
# the uninstaller, list what is left.
# With a display (DISPLAY set) you work the dialog yourself: tick every printer, press
# Uninstall, answer the restart question. Without one, the robot does that on a private Xvfb
# display, answering No, and leaves a screenshot of the dialog in build/artifacts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QTM_BUILD_DIR:-$root/build}
echo "== Building (first run: installs packages and makes a Wine prefix)"
"$root/scripts/build.sh" >/dev/null
. "$root/tests/wine/wine_env.sh"
trap wine_env_cleanup EXIT
trap 'exit 130' INT TERM

wine_env_fresh_prefix "$build/wine"
bin=$build/bin
mkdir -p "$build/artifacts"
# Wine binds a prefix to the display of its first program, so the display comes first.
person=${DISPLAY:-}
[ -n "$person" ] || wine_env_private_display

echo "== Staging the sample installation"
wine "$bin/stager.exe" sample
echo
echo "== Installed before"
wine "$bin/inventory.exe"
echo

if [ -n "$person" ]; then
  echo "== The uninstaller is on your display: tick the printers, press Uninstall."
  wine "$bin/qtm820wide_uninstall.exe" || true
else
  echo "== No display: the robot ticks every printer, presses Uninstall and answers No to a restart"
  screenshot=$(wine_env_windows_path "$build/artifacts/demo_dialog.png")
  wine "$bin/robot.exe" --tick-all --uninstall --restart no --screenshot "$screenshot" \
    "$bin/qtm820wide_uninstall.exe" || true
fi
echo
echo "== Left after"
wine "$bin/inventory.exe"
echo "(Under Wine the print processor stays registered: its spooler answers the processor's"
echo " deletion with success and changes nothing. On Windows it goes with the rest.)"
