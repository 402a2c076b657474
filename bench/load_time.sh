#!/usr/bin/env bash
# load_time.sh -- how long the program's own loading takes from start to the title screen, leaving out
# the engine test's frames and the splash wait. Reads the moments the log lines are written with strace.
# Usage: bench/load_time.sh [build/game] [runs]   (needs DISPLAY)
set -euo pipefail
GAME=${1:-build/game}
RUNS=${2:-5}
WORK=$(mktemp -d /tmp/vodod-load.XXXX)
trap 'rm -rf "$WORK"' EXIT
cp -r "$GAME/vodod-pilko" "$GAME/Files" "$WORK/"
rm -f "$WORK/Files/Setup.ini" "$WORK/Files/252/scores.dat"

t() { date -d "$1" +%s.%N; }   # strace -tt prints HH:MM:SS.micro
for run in $(seq 1 "$RUNS"); do
  rm -f "$WORK/Files/Debug.txt" "$WORK/trace.txt"
  strace -f -tt -e trace=execve,write -o "$WORK/trace.txt" "$WORK/vodod-pilko" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 600); do
    grep -q 'Finished Loading' "$WORK/trace.txt" 2>/dev/null && break
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true
  pkill -9 -f "$WORK/vodod-pilko" 2>/dev/null || true
  start=$(awk 'NR==1 {print $2}' "$WORK/trace.txt")
  tstart=$(grep -m1 'Starting Engine Test' "$WORK/trace.txt" | awk '{print $2}')
  tdone=$(grep -m1 'Test Complete' "$WORK/trace.txt" | awk '{print $2}')
  tend=$(grep -m1 'Finished Loading' "$WORK/trace.txt" | awk '{print $2}')
  awk -v a="$(t "$start")" -v b="$(t "$tstart")" -v c="$(t "$tdone")" -v d="$(t "$tend")" -v r="$run" \
    'BEGIN { printf "RESULT run=%d load_ms=%.1f engine_test_ms=%.1f total_ms=%.1f\n", r, ((d-a)-(c-b))*1000, (c-b)*1000, (d-a)*1000 }'
done
