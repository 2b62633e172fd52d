#!/usr/bin/env bash
# Two builds convert alike: for every golden exchange file, example, fuzz seed
# and regression, and generated files of 1, 30 and 8,000 points (after
# scripts/setup.sh, which builds the generator) and 400 random edits of them
# (EDITS=N for more), both write
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
# Random edits of the files above, biased to the bytes and words the reading
# turns on (delimiters, quotes, braces, keys, blanks).
python3 - "$work/inputs" "${EDITS:-400}" <<'EDIT'
import os, random, sys
folder, count = sys.argv[1], int(sys.argv[2])
sources = sorted(os.listdir(folder))
pieces = [b",", b'"', b"\r", b"\n", b"\r\n", b"{", b"}", b" ", b"\t", b"=", b" = ", b"name = ",
          b"lon = ", b"lat = ", b"elev = ", b"frequency = ", b"type = ", b"point", b"route",
          b"waypoint = ", b"7", b"-", b":", b".", b"\xb0", b"\xc3\xa9"]
random.seed(20261208)
for n in range(count):
    data = bytearray(open(os.path.join(folder, random.choice(sources)), "rb").read())
    for _ in range(random.randint(1, 6)):
        at = random.randint(0, len(data))
        kind = random.random()
        if kind < 0.4:
            data[at:at] = random.choice(pieces)
        elif kind < 0.7:
            del data[at:at + random.randint(1, 12)]
        else:
            data[at:at + 1] = bytes([random.randint(0, 255)])
    open(os.path.join(folder, f"edit-{n}.ste"), "wb").write(data)
EDIT
# Both absent, or both there with the same bytes.
same_file() { [ ! -e "$1" ] && [ ! -e "$2" ] || cmp -s "$1" "$2"; }
stamp='s/[0-9]\{1,2\}-[0-9]\{1,2\}-[0-9]\{4\} [0-9:]\{8\}/TIJD/'
differ=0 count=0 logged=0
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
  [ -f "$work/new/error.log" ] && logged=$((logged + 1))
  if ! cmp -s "$work"/{old,new}/uit.txt || ! cmp -s "$work"/{old,new}/out ||
    ! same_file "$work"/{old,new}/error.log; then
    echo "verschil bij $(basename "$input")"
    differ=$((differ + 1))
  fi
done
echo "$count invoer ($logged met meldingen), $differ verschillend"
[ "$differ" = 0 ]
