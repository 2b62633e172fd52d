#!/usr/bin/env bash
# End to end under a real display and a real tray host: tolvane, stored in
# watch mode, starts hidden in the tray, and a rewritten exchange file yields
# the new text file.  Skipped (77) where no display or tray host can run.
#   watch_e2e.sh BIN_DIR EXAMPLES_DIR
set -uo pipefail
bin=$1 examples=$2
for tool in xvfb-run trayer xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$bin"/. "$work/"
cp "$examples/noord-nederland.ste" "$work/export.ste"
printf 'StrePlaFile=%s\r\nGartripFile=%s\r\nStartGartrip=2\r\nAutoCheckStrepla=1\r\nCheckForGARtrip=1\r\n' \
  "$work/export.ste" "$work/uit.txt" >"$work/tolvane.kvr"

cat >"$work/scenario.sh" <<'SCENARIO'
set -u
cd "$1"
trayer --expand false --width 10 --height 32 >/dev/null 2>&1 &
sleep 1
./tolvane 2>/dev/null &
pid=$!
sleep 2
kill -0 $pid 2>/dev/null || { echo "FAIL: tolvane did not keep running"; exit 1; }
if xdotool search --onlyvisible --name '^TolVANE$' >/dev/null 2>&1; then
  echo "FAIL: the window is shown; it should wait hidden in the tray"; kill $pid; exit 1
fi
[ -e uit.txt ] && { echo "FAIL: converted before the export changed"; kill $pid; exit 1; }
sleep 1
cp "$2" export.ste      # StrePla rewrites its export
for _ in $(seq 30); do [ -s uit.txt ] && break; sleep 0.1; done
kill $pid
wait $pid 2>/dev/null
[ -s uit.txt ] || { echo "FAIL: no text file after the export changed"; exit 1; }
echo "converted after the rewrite"
SCENARIO
other="$work/ander.ste"   # the same task with one turnpoint renamed
sed 's/"Eelde"/"Eelde Noord"/' "$examples/noord-nederland.ste" >"$other"
timeout 60 xvfb-run -a -s "-screen 0 800x600x24" bash "$work/scenario.sh" "$work" "$other" || exit 1
"$work/tolvane" "$other" "$work/stil.txt"
cmp "$work/uit.txt" "$work/stil.txt" || { echo "FAIL: the watched conversion differs from the silent one"; exit 1; }
echo "passed: hidden in the tray, the rewrite converted byte for byte as the silent road"
