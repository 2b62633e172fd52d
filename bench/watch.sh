#!/usr/bin/env bash
# Watch mode under a real display and tray host: the delay from a rewrite of
# the export to the fresh text file, and the CPU that idle watching costs
# (the export unchanged, two active loggers), scaled to an hour.
#   bench/watch.sh [idle-seconds]      (after scripts/setup.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
idle=${1:-60}
ninja -C build tolvane tolvanevenster Converttlv help_pages >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r build/bin/. "$work/"
cp examples/noord-nederland.ste "$work/export.ste"
for logger in een twee; do
  printf '#!/bin/sh\n' >"$work/logger-$logger"
  chmod +x "$work/logger-$logger"
  printf 'vlucht\r\n' >"$work/$logger.igc"
done
printf 'StrePlaFile=%s\r\nGartripFile=%s\r\nStartGartrip=2\r\nAutoCheckStrepla=1\r\nCheckForGARtrip=1\r\nLoggers=*Een*X*%s*%s\r\nLoggers=*Twee*X*%s*%s\r\n' \
  "$work/export.ste" "$work/uit.txt" "$work/logger-een" "$work/een.igc" "$work/logger-twee" \
  "$work/twee.igc" >"$work/tolvane.kvr"

cat >"$work/measure.sh" <<'MEASURE'
set -eu
cd "$1"
idle=$2
trayer >/dev/null 2>&1 &
sleep 1
./tolvane 2>/dev/null &
pid=$!
sleep 2
delays=()
for round in 1 2 3 4 5; do
  sleep 0.$((RANDOM % 9 + 1))
  before=$(stat -c %Y.%N uit.txt 2>/dev/null || echo none)
  start=$(date +%s%N)
  cp export.ste export.tmp && mv export.tmp export.ste
  until [ "$(stat -c %Y.%N uit.txt 2>/dev/null || echo none)" != "$before" ]; do sleep 0.005; done
  delays+=($(( ($(date +%s%N) - start) / 1000000 )))
  sleep 1
done
echo "delay from rewrite to text file (ms), 5 rewrites: ${delays[*]}"
# CPU time of all the program's threads in nanoseconds.
cpu() { cat /proc/$pid/task/*/schedstat | awk '{ sum += $1 } END { print sum }'; }
first=$(cpu)
sleep "$idle"
last=$(cpu)
awk -v used=$((last - first)) -v s="$idle" \
  'BEGIN { printf "idle watching: %.3f s CPU in %d s, %.2f s per hour\n", used / 1e9, s, used / 1e9 * 3600 / s }'
kill $pid
MEASURE
xvfb-run -a -s "-screen 0 800x600x24" bash "$work/measure.sh" "$work" "$idle"
