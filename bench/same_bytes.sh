#!/usr/bin/env bash
# Two builds convert alike: for every golden exchange file, example, fuzz seed
# and regression, and generated files of 1, 30 and 8,000 points (after
# scripts/setup.sh, which builds the generator), both write
# the same text file (or leave the old one), the same error.log (times of day
# aside), the same output and exit code.  For a change meant to be faster
# only: build the old commit beside the new one and compare.
#   bench/same_bytes.sh OLD_BIN_DIR NEW_BIN_DIR   (each holding tolvane and libConverttlv.so)
set -euo pipefail
cd "$(dirname "$0")/.."
old_bin=$1 new_bin=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/old" "$work/new" "$work/inputs"
for side in old new; do
  bin=$old_bin
  [ "$side" = new ] && bin=$new_bin
  cp "$bin/tolvane" "$bin/libConverttlv.so" "$work/$side/"
done
i=0
for file in tests/conversion/golden/*.ste examples/*.ste fuzz/seeds/conversion/* \
  fuzz/regressions/conversion/*; do
  [ -f "$file" ] && cp "$file" "$work/inputs/$((i++)).ste"
done
for points in 1 30 8000; do
  build/bench/parse_bench --generate "$points" >"$work/inputs/generated-$points.ste"
done
# Both absent, or both there with the same bytes.
same_file() { [ ! -e "$1" ] && [ ! -e "$2" ] || cmp -s "$1" "$2"; }
stamp='s/[0-9]\{1,2\}-[0-9]\{1,2\}-[0-9]\{4\} [0-9:]\{8\}/TIJD/'
differ=0 count=0
for input in "$work"/inputs/*.ste; do
  count=$((count + 1))
  for side in old new; do
    rm -f "$work/$side/error.log"
    printf 'oud' >"$work/$side/uit.txt"
    code=0
    "$work/$side/tolvane" "$input" "$work/$side/uit.txt" >"$work/$side/out" 2>&1 || code=$?
    echo "$code" >>"$work/$side/out"
    if [ -f "$work/$side/error.log" ]; then sed -i "$stamp" "$work/$side/error.log"; fi
  done
  if ! cmp -s "$work"/{old,new}/uit.txt || ! cmp -s "$work"/{old,new}/out ||
    ! same_file "$work"/{old,new}/error.log; then
    echo "verschil bij $(basename "$input")"
    differ=$((differ + 1))
  fi
done
echo "$count invoer, $differ verschillend"
[ "$differ" = 0 ]
