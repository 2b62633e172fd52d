#!/usr/bin/env bash
# Conversion benchmarks: Parsen speed per size, peak memory per size, whole
# silent runs of the installed program on the 32,000-point file, and a flood
# of bad blocks (a 10 MB file of the keyword "route", two million reports).
#   bench/run.sh            (after scripts/setup.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
ninja -C build parse_bench window_bench tolvane Converttlv >/dev/null
build/bench/parse_bench --benchmark_min_time=1
build/bench/parse_bench --memory

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp build/bin/tolvane build/bin/libConverttlv.so "$work/"

# Times a command over a number of runs: "median X ms, best Y ms over N runs".
time_runs() {
  local runs=$1
  shift
  local times=() start end
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$@" || true
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000 )))
  done
  local sorted median best
  sorted=$(printf '%s\n' "${times[@]}" | sort -n)
  median=$(echo "$sorted" | sed -n "$(( (runs + 1) / 2 ))p")
  best=$(echo "$sorted" | head -n 1)
  printf 'median %d.%03d ms, best %d.%03d ms over %d runs\n' \
    $((median / 1000)) $((median % 1000)) $((best / 1000)) $((best % 1000)) "$runs"
}

build/bench/parse_bench --generate 32000 >"$work/taak.ste"
printf 'silent tolvane run, 32000 points (%s bytes): ' "$(stat -c %s "$work/taak.ste")"
time_runs 20 "$work/tolvane" "$work/taak.ste" "$work/uit.txt"

head -c 10000000 < <(yes route | tr -d '\n') >"$work/route.ste"
printf 'silent tolvane run, 10 MB of "route" (2,000,000 reports): '
time_runs 3 "$work/tolvane" "$work/route.ste" "$work/flood.txt"

# The silent road against cp of the same file, side by side: the silent road
# loads no desktop library.
cp examples/noord-nederland.ste "$work/voorbeeld.ste"
printf 'cp of the example:                      '
time_runs 50 cp "$work/voorbeeld.ste" "$work/kopie.ste"
printf 'silent tolvane run on the example:      '
time_runs 50 "$work/tolvane" "$work/voorbeeld.ste" "$work/voorbeeld.txt"
printf 'desktop libraries loaded by a silent run: %s\n' \
  "$(LD_DEBUG=libs "$work/tolvane" "$work/voorbeeld.ste" "$work/voorbeeld.txt" 2>&1 | grep -c 'libQt6' || true)"

# A conversion from the main window against one without a window.
build/bench/window_bench 21 2>/dev/null
