#!/usr/bin/env bash
# Hostile inputs: time and peak memory of one silent run each, beside the
# input's size.  Exchange files just under the 64 MiB bound must take at most
# 1 s per 10 MB and about three times their size in memory (a text that is
# larger than its input, as routes of many members give, adds its own size);
# those past the bound, settings files past 1 MiB and files that are no
# regular file are refused at once.
#   bench/hostile.sh        (after scripts/setup.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
ninja -C build tolvane Converttlv >/dev/null

work=$(mktemp -d)
trap 'kill "${grower:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
cp build/bin/tolvane build/bin/libConverttlv.so "$work/"
bound=$((64 * 1024 * 1024))
size=$((bound - 1024))

# `bytes N TEXT`: TEXT repeated up to N bytes; `lines N TEXT`: TEXT and LF.
bytes() { yes "$2" | tr -d '\n' | head -c "$1" || true; }
lines() { yes "$2" | head -c "$1" || true; }
point='point {\r\n name = "ABCDEFGHIJ"\r\n lon = E006:34.95\r\n lat = N53:07.50\r\n elev = 5\r\n frequency = 123.50\r\n}\r\n'
route_of() { printf 'route {\r\n name = "R"\r\n'; lines $((16 * $1)) $'  waypoint = 1\r'; printf '}\r\n'; }

bytes "$size" , >"$work/commas.ste"
bytes "$size" "$(printf '\r')" >"$work/line-ends.ste"
head -c "$size" /dev/zero >"$work/nul-bytes.ste"
bytes "$size" '"' >"$work/quotes.ste"
bytes "$size" 'point {}' >"$work/empty-blocks.ste"
bytes "$size" pointroute >"$work/keywords.ste"
{ printf 'point {\r\n name = "'; bytes $((size - 100)) N; printf '"\r\n}\r\n'; } >"$work/long-name.ste"
{ printf "$point"; route_of $(((size - 200) / 16)); } >"$work/long-route.ste"
{ printf "$point"; for _ in $(seq 4000); do route_of 1000; done; } >"$work/many-routes.ste"
truncate -s 2G "$work/sparse-2G.ste"

echo '| input | bytes | exit | time | s per 10 MB | peak memory | memory / size |'
echo '|---|---|---|---|---|---|---|'
run() {  # name exchange-file [the file whose size counts]
  local name=$1 file=$2 bytes code
  bytes=$(stat -L -c %s "${3:-$file}")
  code=0
  /usr/bin/time -o "$work/usage" -f '%e %M' timeout 120 "$work/tolvane" "$file" "$work/uit.txt" \
    >/dev/null 2>&1 || code=$?
  read -r seconds peak < <(tail -n 1 "$work/usage")
  awk -v n="$name" -v b="$bytes" -v c="$code" -v s="$seconds" -v p="$peak" 'BEGIN {
    printf "| %s | %d | %d | %.2f s | %.2f | %.0f MB | %.1f x |\n",
      n, b, c, s, b ? s / (b / 1e7) : 0, p / 1024, b ? p * 1024 / b : 0 }'
}
for file in "$work"/*.ste; do run "$(basename "$file" .ste)" "$file"; done

# A file that keeps growing while it is read: read up to its size when opened.
printf "$point" >"$work/growing.ste"
(while :; do bytes 1048576 x; done >>"$work/growing.ste") &
grower=$!
sleep 1
run growing "$work/growing.ste"
kill "$grower"

# Settings files: past 1 MiB, a pipe, a link to /dev/zero.
printf "$point" >"$work/taak.ste"
lines $((62 * 1024 * 1024)) $'StrePlaFile=x\r' >"$work/tolvane.kvr"
run "settings 62 MB" "$work/taak.ste" "$work/tolvane.kvr"
rm "$work/tolvane.kvr" && mkfifo "$work/tolvane.kvr"
run "settings a pipe" "$work/taak.ste" "$work/tolvane.kvr"
rm "$work/tolvane.kvr" && ln -s /dev/zero "$work/tolvane.kvr"
run "settings /dev/zero" "$work/taak.ste" "$work/tolvane.kvr"
