#!/usr/bin/env bash
# The uninstaller's benchmark under Wine: builds what is missing, stages the sample installation,
# the heavy machine and the same at half size (once, kept as prefixes to copy), then for each size
# runs the uninstaller several times in fresh copies, worked through its dialog and run with /quiet
# between two read-only checks (/check /quiet), and prints the figures with their spread.
#   bench/run.sh [runs per size] [uninstaller.exe] [other uninstaller.exe]
# (default 5 runs; the uninstaller of the build by default, another build's to compare with it;
# on the clean machine a second uninstaller is started in turn with the first, start by start;
# QTM_BENCH_SIZES picks sizes, default "sample half full", or "clean": the heavy machine without
# the model; QTM_BENCH_STARTS the starts to a filled list before each uninstall, or to the message
# that nothing is left on the clean machine, default 5; QTM_BENCH_QUIET=0 leaves out the /quiet
# runs, for a build that has no silent mode; QTM_BUILD_DIR as for the other scripts)
# Everything it writes lands in the build folder: bench-machines/ (staged prefixes) and
# bench-results/<time>/ (each run's output).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QTM_BUILD_DIR:-$root/build}
runs=${1:-5}
uninstaller=${2:-}
other=${3:-}
starts=${QTM_BENCH_STARTS:-5}
quiet=${QTM_BENCH_QUIET:-1}
sizes=${QTM_BENCH_SIZES:-sample half full}
bin=$build/bin
uninstaller=${uninstaller:-$bin/qtm820wide_uninstall.exe}
machines=$build/bench-machines
results=$build/bench-results/$(date +%Y%m%d-%H%M%S)

echo "== Building (first run: installs packages and makes a Wine prefix)"
"$root/scripts/build.sh" >/dev/null || exit 1
. "$root/tests/wine/wine_env.sh"
mkdir -p "$machines" "$results"

# stage <size>: the staged machine as a pristine prefix of its own, made again when the stager
# has changed since.
stage() (
  local size=$1 dest=$machines/$1
  if [ -f "$dest/pristine/.ready" ] && [ "$dest/pristine/.ready" -nt "$bin/bench_stage.exe" ]; then exit 0; fi
  trap wine_env_cleanup EXIT
  wine_env_fresh_prefix "$build/wine" || exit 1
  wine_env_private_display || exit 1
  echo "== Staging the $size machine"
  wine "$bin/bench_stage.exe" "$size" || exit 1
  wineserver -w
  rm -rf "$dest" && mkdir -p "$dest" && cp -a "$WINEPREFIX" "$dest/pristine" && touch "$dest/pristine/.ready"
)

# in_staged_copy <size> <program> [arguments...]: runs one program in a fresh copy of the staged
# machine on a private display.
in_staged_copy() (
  local size=$1
  shift
  trap wine_env_cleanup EXIT
  wine_env_fresh_prefix "$machines/$size" || exit 1
  wine_env_private_display || exit 1
  wine "$@"
)

for size in $sizes; do
  stage "$size" || { echo "staging the $size machine failed" >&2; exit 1; }
done

for size in $sizes; do
  compared=()
  if [ "$size" = clean ] && [ -n "$other" ]; then compared=("$other"); fi
  for run in $(seq 1 "$runs"); do
    echo "== $size machine, run $run of $runs"
    in_staged_copy "$size" "$bin/bench_uninstall.exe" "$size" "$starts" "$uninstaller" "${compared[@]}" \
      >"$results/$size-run$run.txt" 2>&1
    grep -E "^bench: (uninstall|left|nothing_left)" "$results/$size-run$run.txt" || {
      echo "run failed; its output:" >&2
      cat "$results/$size-run$run.txt" >&2
      exit 1
    }
    [ "$quiet" = 1 ] || continue
    echo "== $size machine, quiet run $run of $runs"
    in_staged_copy "$size" "$bin/bench_uninstall.exe" "$size" quiet "$uninstaller" \
      >"$results/$size-quiet$run.txt" 2>&1
    grep -E "^bench: (check|quiet|left)" "$results/$size-quiet$run.txt" || {
      echo "quiet run failed; its output:" >&2
      cat "$results/$size-quiet$run.txt" >&2
      exit 1
    }
  done
  echo "== $size machine, profile of the steps"
  in_staged_copy "$size" "$bin/bench_profile.exe" >"$results/$size-profile.txt" 2>&1
done

echo
echo "== Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(wine --version)"
for size in $sizes; do
  echo
  echo "== The $size machine"
  "$root/bench/summarize.sh" "$results" "$size"
done
if [[ " $sizes " == *" half "* && " $sizes " == *" full "* ]]; then
  echo
  echo "== Growth from half to full size (medians)"
  "$root/bench/summarize.sh" "$results" growth
fi
echo
echo "Each run's output: $results"
