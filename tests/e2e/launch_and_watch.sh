#!/usr/bin/env bash
# End to end under a real display and a real tray host: tlvexpress, with
# valid settings, switches watch mode on and starts a stand-in StrePla and the
# real tolvane; tolvane comes up hidden in the tray, and a rewritten exchange
# file yields the new text, CUP and GPX files, byte for byte as the silent road
# writes them; a
# second start of tolvane brings the window out of the tray.
# Skipped (77) where no display or tray host can run.
#   launch_and_watch.sh BIN_DIR EXAMPLES_DIR
set -uo pipefail
bin=$1 examples=$2
source "$(dirname "$0")/lib.sh"
needs xvfb-run trayer xdotool
work=$(program_folder "$bin")
trap 'pkill -f "$work/tolvane" 2>/dev/null; rm -rf "$work"' EXIT
cp "$examples/noord-nederland.ste" "$work/export.ste"
stand_in "$work/StrePla" strepla-gestart
printf 'MZ' >"$work/GARtrip.exe"
write_settings "$work/tolvane.kvr" "StrePlaFile=$work/export.ste" "GartripFile=$work/uit.txt" \
  "GartipProgramma=$work/GARtrip.exe" "StreplaProgramma=$work/StrePla" StartGartrip=2 \
  AutoCheckStrepla=2 CheckForGARtrip=1 "CupFile=$work/taak.cup" "GpxFile=$work/taak.gpx"
other="$work/ander.ste"   # the same task with one turnpoint renamed
sed 's/"Eelde"/"Eelde Noord"/' "$examples/noord-nederland.ste" >"$other"

cat >"$work/scenario.sh" <<'SCENARIO'
set -u
cd "$1"
fail() { echo "FAIL: $*"; exit 1; }
trayer --expand false --width 10 --height 32 >/dev/null 2>&1 &
sleep 1
./tlvexpress 2>/dev/null || fail "tlvexpress ended with $?"
grep -q 'AutoCheckStrepla=1' tolvane.kvr || fail "watch mode was not switched on"
sleep 2
[ -e strepla-gestart ] || fail "StrePla was not started"
pgrep -f "$1/tolvane" >/dev/null || fail "tolvane is not running"
xdotool search --onlyvisible --name '^TolVANE$' >/dev/null 2>&1 && fail "the window is shown"
[ -e uit.txt ] || [ -e taak.cup ] && fail "converted before the export changed"
sleep 1
cp "$2" export.ste      # StrePla rewrites its export
for _ in $(seq 30); do [ -s uit.txt ] && [ -s taak.gpx ] && break; sleep 0.1; done
[ -s uit.txt ] && [ -s taak.cup ] && [ -s taak.gpx ] || fail "no text, CUP or GPX file after the export changed"
./tolvane 2>/dev/null
code=$?
[ $code -eq 3 ] || fail "a second start ended with $code"
for _ in $(seq 50); do
  xdotool search --onlyvisible --name '^TolVANE$' >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool search --onlyvisible --name '^TolVANE$' >/dev/null 2>&1 ||
  fail "a second start did not bring the window out of the tray"
# The window's class is the program's name, as the desktop matches it to tolvane.desktop.
xdotool search --onlyvisible --classname '^tolvane$' >/dev/null 2>&1 || fail "the window's class is not tolvane"
echo "launched, hidden in the tray, converted after the rewrite, shown by a second start"
SCENARIO
under_xvfb 60 "$work/scenario.sh" "$work" "$other" || exit 1
pkill -f "$work/tolvane"
for _ in $(seq 100); do pgrep -f "$work/tolvane" >/dev/null || break; sleep 0.1; done  # its claim goes with it
sed -i 's/StartGartrip=1/StartGartrip=2/' "$work/tolvane.kvr"   # no GARtrip for the silent run
"$work/tolvane" --cup "$work/stil.cup" --gpx "$work/stil.gpx" "$other" "$work/stil.txt"
for kind in txt cup gpx; do
  watched="$work/uit.txt"
  [ $kind = txt ] || watched="$work/taak.$kind"
  cmp "$watched" "$work/stil.$kind" || { echo "FAIL: the watched $kind file differs from the silent one"; exit 1; }
done

echo "passed"
