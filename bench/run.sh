#!/usr/bin/env bash
# Conversion benchmarks: Parsen speed per size, peak memory per size, whole
# silent runs of the installed program on the 32,000-point file, and a flood
# of bad blocks (a 10 MB file of the keyword "route", two million reports).
#   bench/run.sh            (after scripts/setup.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
ninja -C build parse_bench tolvane Converttlv >/dev/null
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
