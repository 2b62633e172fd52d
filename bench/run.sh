#!/usr/bin/env bash
# Conversion benchmarks, the installed program beside cp of the same file:
# for 1,000, 8,000 and 32,000 generated points and for the bundled example,
# the medians of whole silent runs (alternated with cp, so both see the same
# machine) and their ratio; instructions per input byte, page faults and peak
# memory of one run.  Then the floor (the same reading, holding and replacing
# with no conversion work) beside cp, Parsen alone (Google Benchmark), the peak memory
# growth of one conversion per size, a flood of bad blocks, and a conversion
# from the main window against one without a window.
#   bench/run.sh            (after scripts/setup.sh; quiet machine)
set -euo pipefail
cd "$(dirname "$0")/.."
ninja -C build parse_bench window_bench side_by_side floor tolvane Converttlv >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp build/bin/tolvane build/bin/libConverttlv.so "$work/"

# Median wall time in microseconds of each of two commands, run alternately.
medians() {
  local runs=$1 first=$2 second=$3
  # shellcheck disable=SC2086 # the commands are word lists
  build/bench/side_by_side "$runs" -- $first -- $second
}

# "instructions faults peak-KB" of one run.  Instructions from the processor's
# counter where perf can read it, else counted by valgrind, else "-".
footprint() {
  local instructions
  instructions=$(perf stat -x, -e instructions:u "$@" 2>&1 >/dev/null | awk -F, '/instructions/ {print $1}' || true)
  if ! [[ $instructions =~ ^[0-9]+$ ]]; then
    instructions=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
      awk '/Collected :/ {print $NF}' || true)
  fi
  [[ $instructions =~ ^[0-9]+$ ]] || instructions=-
  /usr/bin/time -o "$work/usage" -f '%R %M' "$@" >/dev/null 2>&1 || true
  echo "$instructions $(tail -n 1 "$work/usage")"
}

row() {  # name file runs
  local name=$1 file=$2 runs=$3 bytes
  bytes=$(stat -c %s "$file")
  read -r ours theirs < <(medians "$runs" "$work/tolvane $file $work/uit.txt" "cp $file $work/kopie")
  read -r instructions faults peak < <(footprint "$work/tolvane" "$file" "$work/uit.txt")
  local per_byte=-
  [ "$instructions" != - ] && per_byte=$(awk -v i="$instructions" -v b="$bytes" 'BEGIN {printf "%.1f", i / b}')
  printf '| %s | %d | %.2f ms | %.2f ms | %.2f x | %s | %s | %.1f MB |\n' "$name" "$bytes" \
    "$(awk -v t="$ours" 'BEGIN {print t / 1000}')" "$(awk -v t="$theirs" 'BEGIN {print t / 1000}')" \
    "$(awk -v a="$ours" -v b="$theirs" 'BEGIN {print a / b}')" "$per_byte" "$faults" \
    "$(awk -v k="$peak" 'BEGIN {print k / 1024}')"
}

echo '| input | bytes | tolvane | cp | ratio | instructions per byte | page faults | peak memory |'
echo '|---|---|---|---|---|---|---|---|'
for points in 1000 8000 32000; do
  build/bench/parse_bench --generate "$points" >"$work/taak-$points.ste"
  row "$points points" "$work/taak-$points.ste" 31
done
cp examples/noord-nederland.ste "$work/voorbeeld.ste"
row "the example" "$work/voorbeeld.ste" 101
# The floor: reading, holding and safely replacing the same bytes with no
# conversion work (build/bench/floor), against cp.
echo
echo '| input | floor | cp | ratio |'
echo '|---|---|---|---|'
for file in "$work/taak-32000.ste" "$work/voorbeeld.ste"; do
  read -r floor theirs < <(medians 31 "build/bench/floor $file $work/uit.txt" "cp $file $work/kopie")
  printf '| %s | %.2f ms | %.2f ms | %.2f x |\n' "$(basename "$file")" \
    "$(awk -v t="$floor" 'BEGIN {print t / 1000}')" "$(awk -v t="$theirs" 'BEGIN {print t / 1000}')" \
    "$(awk -v a="$floor" -v b="$theirs" 'BEGIN {print a / b}')"
done
loaded=$(LD_DEBUG=libs "$work/tolvane" "$work/voorbeeld.ste" "$work/uit.txt" 2>&1 || true)
printf 'loader lines naming a desktop library: %s, the shared C++ runtime: %s\n' \
  "$(grep -c 'libQt6' <<<"$loaded" || true)" "$(grep -c 'libstdc++' <<<"$loaded" || true)"

build/bench/parse_bench --benchmark_min_time=1
build/bench/parse_bench --memory

head -c 10000000 < <(yes route | tr -d '\n') >"$work/route.ste"
read -r flood _ < <(medians 3 "$work/tolvane $work/route.ste $work/flood.txt" true)
printf 'silent run on 10 MB of "route" (2,000,000 reports): median %.2f s\n' \
  "$(awk -v t="$flood" 'BEGIN {print t / 1000000}')"

# A conversion from the main window against one without a window.
build/bench/window_bench 21 2>/dev/null

# Hostile inputs under and past the bounds.
bench/hostile.sh
