#!/usr/bin/env bash
# End to end under a real display: a broken line in the settings file is
# reported once when tolvane opens its window, not once by the start-up and
# again by the window.  Skipped (77) where no display can run.
#   settings_read_once.sh BIN_DIR
set -uo pipefail
bin=$1
source "$(dirname "$0")/lib.sh"
needs xvfb-run xdotool
work=$(program_folder "$bin")
trap 'pkill -f "$work/tolvane" 2>/dev/null; rm -rf "$work"' EXIT
rm -f "$work/error.log"  # only this run's reports count
write_settings "$work/tolvane.kvr" StartGartrip=x AutoCheckStrepla=2
cat >"$work/broken.sh" <<'BROKEN'
cd "$1"
./tolvane 2>/dev/null &
# The report's box ("Fout") is answered; its log entry follows.
for _ in $(seq 100); do xdotool search --onlyvisible --name '^Fout$' >/dev/null 2>&1 && break; sleep 0.1; done
xdotool key Return
for _ in $(seq 30); do [ -s error.log ] && break; sleep 0.1; done
sleep 1  # a second report would follow within this time
kill %1
BROKEN
under_xvfb 30 "$work/broken.sh" "$work"
reports=$(grep -c 'Nieuwe Fout' "$work/error.log" 2>/dev/null)
[ "$reports" = 1 ] || { echo "FAIL: a broken settings line was reported ${reports:-0} times"; exit 1; }
echo "passed"
