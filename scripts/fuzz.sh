#!/usr/bin/env bash
# Builds the fuzz targets with clang++ (libFuzzer, ASan, UBSan) and runs each
# one for a bounded time.  Usage: scripts/fuzz.sh [seconds-per-target] [target...]
# A build that fails shows its errors; a run that finds a crash, a hang or a
# failed check ends this script with its exit code and names the input, left
# in fuzz/artifacts/.  Copy each such input into fuzz/regressions/<target>/,
# where every test run replays it.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 2
seconds=${1:-60}
shift || true
build=build-fuzz
source scripts/lib.sh
install_missing clang libclang-rt-dev
quietly "configuring $build/" cmake --preset fuzz || exit 2
quietly "building $build/" cmake --build --preset fuzz || exit 2
mkdir -p fuzz/artifacts
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for binary in "$build"/fuzz/*_fuzz; do targets+=("$(basename "$binary")"); done
fi
status=0
for target in "${targets[@]}"; do
  name=${target%_fuzz}
  corpus=fuzz/corpus-$name
  mkdir -p "$corpus"
  folders=("$corpus")
  for extra in "fuzz/seeds/$name" "fuzz/regressions/$name"; do
    [ -d "$extra" ] && folders+=("$extra")
  done
  log="$build/$target.log"
  echo "== $target: ${seconds}s"
  "$build/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -rss_limit_mb=4096 -artifact_prefix="fuzz/artifacts/$name-" -print_final_stats=1 \
    "${folders[@]}" >"$log" 2>&1
  code=$?
  grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$log"
  if [ $code -ne 0 ]; then
    tail -n 40 "$log"
    grep -o "Test unit written to .*" "$log" | sed "s/^/fuzz: $target found a fault: /" >&2
    status=$code
  fi
done
exit $status
