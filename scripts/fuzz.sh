#!/usr/bin/env bash
# Builds the fuzz targets with clang++ (libFuzzer, ASan, UBSan) and runs each
# one for a bounded time.  Usage: scripts/fuzz.sh [seconds-per-target] [target...]
# Crash inputs land in fuzz/artifacts/; turn each into a regression test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
build=build-fuzz
if ! command -v clang++ >/dev/null || ! dpkg-query -W libclang-rt-dev >/dev/null 2>&1; then
  apt-get update -qq && apt-get install -y -qq --no-install-recommends clang libclang-rt-dev >/dev/null
fi
CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLVANE_FUZZ=ON -DTOLVANE_TESTS=OFF -DTOLVANE_BENCH=OFF >/dev/null
ninja -C "$build" >/dev/null
mkdir -p fuzz/artifacts
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for binary in "$build"/fuzz/*_fuzz; do targets+=("$(basename "$binary")"); done
fi
for target in "${targets[@]}"; do
  corpus=fuzz/corpus-${target%_fuzz}
  mkdir -p "$corpus"
  seeds=fuzz/seeds/${target%_fuzz}
  echo "== $target: ${seconds}s"
  "$build/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -rss_limit_mb=4096 -artifact_prefix=fuzz/artifacts/ -print_final_stats=1 \
    "$corpus" $( [ -d "$seeds" ] && echo "$seeds" ) 2>&1 | tail -n 12
done
