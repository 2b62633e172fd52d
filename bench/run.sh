#!/usr/bin/env bash
# Conversion benchmarks: Parsen speed per size, peak memory per size, and
# whole silent runs of the installed program on the 32,000-point file.
#   bench/run.sh            (after scripts/setup.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
ninja -C build parse_bench tolvane Converttlv >/dev/null
build/bench/parse_bench --benchmark_min_time=1
build/bench/parse_bench --memory

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp build/bin/tolvane build/bin/libConverttlv.so "$work/"
build/bench/parse_bench --generate 32000 >"$work/taak.ste"
runs=20
times=()
for _ in $(seq $runs); do
  start=$(date +%s%N)
  "$work/tolvane" "$work/taak.ste" "$work/uit.txt"
  end=$(date +%s%N)
  times+=($(( (end - start) / 1000 )))
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(echo "$sorted" | sed -n "$(( runs / 2 ))p")
best=$(echo "$sorted" | head -n 1)
printf 'silent tolvane run, 32000 points (%s bytes): median %d.%03d ms, best %d.%03d ms over %d runs\n' \
  "$(stat -c %s "$work/taak.ste")" $((median / 1000)) $((median % 1000)) $((best / 1000)) $((best % 1000)) $runs
