#!/usr/bin/env bash
# Prints the figures of one benchmark's results folder, with their spread:
#   summarize.sh <results> <size>     one machine size
#   summarize.sh <results> growth     full against half
set -uo pipefail
results=$1
what=$2

# stats: reads numbers, one a line; prints "median M (min A, max B, n N)".
stats() {
  sort -g | awk '{ v[NR] = $1 }
    END {
      if (NR == 0) { print "none"; exit }
      m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "median %.1f (min %.1f, max %.1f, n %d)\n", m, v[1], v[NR], NR
    }'
}
median() { stats | awk '{ print $2 }'; }
field() { awk -v key="$2" '{ for (i = 1; i < NF; i++) if ($i == key) print $(i + 1) }' "$1"; }
runs() { cat "$results/$1"-run*.txt 2>/dev/null; }

if [ "$what" = growth ]; then
  for key in list_ms overhead_ms wall_ms; do
    half=$(runs half | grep -E "^bench: (start|uninstall)" | field /dev/stdin "$key" | median)
    full=$(runs full | grep -E "^bench: (start|uninstall)" | field /dev/stdin "$key" | median)
    awk -v k="$key" -v h="$half" -v f="$full" \
      'BEGIN { printf "%-12s half %8.1f  full %8.1f  full/half %.2f (the machine doubles: 2.00)\n", k, h, f, f / h }'
  done
  exit 0
fi

size=$what
runs "$size" | sed -n 's/^machine: //p' | sort -u
if [ "$size" = clean ]; then
  echo "program start to the message that nothing is left, ms:"
  for u in a b; do
    echo "  uninstaller $u: $(runs "$size" | grep "^bench: nothing_left .* uninstaller $u " | field /dev/stdin message_ms | stats)"
  done
  echo "  b - a, start by start: $(runs "$size" | grep '^bench: nothing_left' |
    awk '$5 == "a" { a = $7 } $5 == "b" { print $7 - a }' | stats)"
  echo "steps timed inside one process (bench_profile):"
  sed -n 's/^bench: step_ms /  /p' "$results/$size-profile.txt"
  exit 0
fi
echo "program start to dialog, ms:     $(runs "$size" | grep '^bench: start' | field /dev/stdin dialog_ms | stats)"
echo "program start to filled list, ms: $(runs "$size" | grep '^bench: start' | field /dev/stdin list_ms | stats)"
echo "full uninstall wall time, ms:     $(runs "$size" | grep '^bench: uninstall' | field /dev/stdin wall_ms | stats)"
echo "fixed pauses, ms:                 $(runs "$size" | grep -m1 '^bench: uninstall' | field /dev/stdin fixed_ms)"
echo "overhead over the pauses, ms:     $(runs "$size" | grep '^bench: uninstall' | field /dev/stdin overhead_ms | stats)"
echo "ratio wall / fixed pauses:        $(runs "$size" | grep '^bench: uninstall' | field /dev/stdin ratio | awk '{ print $1 * 1000 }' | stats |
  awk '{ gsub(/[(),]/, ""); printf "median %.3f (min %.3f, max %.3f, n %d)\n", $2 / 1000, $4 / 1000, $6 / 1000, $8 }')"
echo "longest unanswered message, ms:   $(runs "$size" | grep '^bench: answers' | field /dev/stdin longest_wait_ms | stats)"
echo "quiet uninstall wall time, ms:    $(cat "$results/$size"-quiet*.txt 2>/dev/null | grep '^bench: quiet' | field /dev/stdin wall_ms | stats)"
echo "quiet exit codes: $(cat "$results/$size"-quiet*.txt 2>/dev/null | grep '^bench: quiet' | field /dev/stdin exit | sort | uniq -c | sed 's/^ *//' | tr '\n' ' ')"
for when in before after; do
  echo "check $when the quiet run, ms:  $(cat "$results/$size"-quiet*.txt 2>/dev/null | grep "^bench: check $when" | field /dev/stdin wall_ms | stats)"
  echo "check $when, exit codes: $(cat "$results/$size"-quiet*.txt 2>/dev/null | grep "^bench: check $when" | field /dev/stdin exit | sort | uniq -c | sed 's/^ *//' | tr '\n' ' ')"
done
echo "events of the first run, ms after Uninstall was pressed:"
sed -n 's/^bench: event_ms /  /p' "$results/$size-run1.txt"
echo "left after each run: $(cat "$results/$size"-run*.txt "$results/$size"-quiet*.txt 2>/dev/null | grep '^bench: left' | sed 's/^bench: left //' | sort | uniq -c | sed 's/^ *//')"
echo "steps timed inside one process (bench_profile):"
sed -n 's/^bench: step_ms /  /p' "$results/$size-profile.txt"
