#!/usr/bin/env bash
# Accepting the restart: the uninstaller shows completion, asks Windows to restart and ends with
# exit code 0 right after the question. Wine answers a restart request by ending every program of
# its session, the robot included, so this runs from outside Wine, in a prefix of its own:
#   restart_accepted_test.sh <build folder>
set -uo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/wine/wine_env.sh"
trap wine_env_cleanup EXIT
bin=$build/bin
log=$(mktemp)
trap 'rm -f "$log"; wine_env_cleanup' EXIT

fail() {
  echo "FAILED: $*"
  echo "--- robot's transcript:"
  cat "$log"
  exit 1
}

wine_env_fresh_prefix "$build/wine" || fail "no prefix"
wine_env_private_display || fail "no display"
wine "$bin/stager.exe" driver-only >/dev/null || fail "staging"

# A program of the session that has nothing to do with the uninstaller: the restart ends it.
wine notepad.exe >/dev/null 2>&1 &
bystander=$!

# With the driver and no printer, the uninstaller runs its whole sequence by itself.
wine "$bin/qtm820wide_uninstall.exe" &
uninstaller=$!
wine "$bin/robot.exe" --attach --restart yes --timeout 90 >"$log" 2>&1 &
robot=$!

wait "$robot" 2>/dev/null
# The robot has ended (by its own time-out at the latest); a correct uninstaller has too, or does
# within seconds. One left waiting would hold the test for ever.
for _ in $(seq 1 600); do
  kill -0 "$uninstaller" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$uninstaller" 2>/dev/null && fail "the uninstaller did not end"
wait "$uninstaller"
uninstaller_exit=$?
# Windows programs end their lines with CR LF.
sed -i 's/\r$//' "$log"

[ "$uninstaller_exit" -eq 0 ] || fail "the uninstaller ended with $uninstaller_exit"
grep -qx "answered: Yes" "$log" || fail "the restart question was not answered Yes"
grep -qx "Restart the computer can take effect." "$log" || fail "the question's text"
grep -qx "\[Yes\] I want to restart my computer now." "$log" || fail "the question's text"
# After the answer the program shows completion once more and ends; nothing else happens.
after=$(sed -n '/^answered: Yes$/,$p' "$log" | grep '^status: ' | tr '\n' '|')
[ "$after" = "status: Uninstall completed!|" ] || fail "after the answer: $after"
for _ in $(seq 1 100); do
  kill -0 "$bystander" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$bystander" 2>/dev/null && fail "no restart was requested: the session goes on"
echo "passed: the uninstaller ended with 0 right after Yes, and Windows was asked to restart"
