#!/usr/bin/env bash
# The Windows desktop roads under wine on an Xvfb display with a tray host,
# from a program folder as the zip unpacks it: the silent road without an
# error stream shows its failure in a real message box (read from the box
# itself); watch mode starts with the window hidden in the tray, a rewrite of
# the export is converted, a click on the icon brings the window back, Ctrl+H
# hides it again, and a second start brings it back and ends with 3;
# tlvexpress.exe asks for a missing path in its fill-in dialog, stores what
# is typed, switches watching on and starts StrePla (a stand-in that records
# its start) and tolvane.exe.  Skipped (77) where no display or tray host can run.
#   windows_desktop.sh PROGRAM_FOLDER READ_BOX_EXE RECORD_ARGUMENTS_EXE
set -uo pipefail
source "$(dirname "$0")/lib.sh"
needs xvfb-run trayer xdotool wine
work=$(program_folder "$1")
cp "$2" "$work/"
cp "$3" "$work/StrePla.exe"
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
unset WINEQT_QPA_PLATFORM WINEPATH  # real windows; only the folder's own libraries
cp "$(dirname "$0")/../conversion/golden/basic.ste" "$work/export.ste"
native=$(echo "Z:$work" | tr / '\\')
write_settings "$work/tolvane.kvr" "StrePlaFile=$native\\export.ste" "GartripFile=$native\\uit.txt" \
  StartGartrip=2 AutoCheckStrepla=1 CheckForGARtrip=1

cat >"$work/scenario.sh" <<'SCENARIO'
set -u
cd "$1"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
visible() { xdotool search --onlyvisible --name '^TolVANE$' >/dev/null 2>&1; }
wait_for() { for _ in $(seq 100); do "$@" && return 0; sleep 0.2; done; return 1; }
trayer --edge bottom --align right --expand false --width 6 --height 28 >/dev/null 2>&1 &
sleep 1

# Started as from the desktop, with no error stream: the report is the real box, titled "Fout".
wine start /wait /unix "$PWD/tolvane.exe" "taak $(printf '\xc4\x80').ste" uit.txt &
silent=$!
texts=$(wine read_box.exe Fout 60 2>/dev/null | tr -d '\r')
wait $silent
code=$?
[ "$texts" = $'De volgende fout is opgetreden\nDe bestandsnaam is ongeldig (opstartargument 1)' ] ||
  fail "the silent road's box: '$texts'"
[ "$code" = 2 ] || fail "the silent road ended with $code"

# Watch mode: the window starts hidden in the tray; a rewrite is converted.
wine tolvane.exe 2>/dev/null &
wait_for pgrep -f 'tolvane.exe$' >/dev/null || fail "tolvane.exe did not start"
sleep 8
visible && fail "the window shows although watch mode starts in the tray"
sleep 1
cp export.ste export.new && mv export.new export.ste && touch export.ste
wait_for test -s uit.txt || fail "no text file after the export was rewritten"
# A click on the tray icon (bottom right, in trayer) brings the window back; Ctrl+H hides it again.
xdotool mousemove 788 586 click 1
wait_for visible || fail "a click on the tray icon did not bring the window back"
xdotool key --window "$(xdotool search --onlyvisible --name '^TolVANE$' | head -1)" ctrl+h
wait_for eval '! visible' || fail "Ctrl+H did not hide the window into the tray"
# A second start brings the window forward and ends with 3.
wine tolvane.exe 2>/dev/null
code=$?
[ "$code" = 3 ] || fail "a second start ended with $code"
wait_for visible || fail "a second start did not bring the window back"

# The launcher with the GARtrip text missing: typed into its dialog, stored, and both started.
pkill -f 'tolvane.exe' && wait_for eval '! pgrep -f tolvane.exe >/dev/null'
sed -i 's/^GartripFile=.*\r$/GartripFile=\r/; s/^AutoCheckStrepla=1/AutoCheckStrepla=2/' tolvane.kvr
printf '%s\r\n' "StreplaProgramma=$2\\StrePla.exe" "GartipProgramma=$2\\StrePla.exe" >>tolvane.kvr
wine tlvexpress.exe 2>/dev/null &
wait_for xdotool search --onlyvisible --name '^Extra gegevens invullen$' >/dev/null ||
  fail "no fill-in dialog"
dialog=$(xdotool search --onlyvisible --name '^Extra gegevens invullen$' | head -1)
xdotool windowfocus --sync "$dialog" type --delay 20 "$2\\taak.txt"
xdotool key --window "$dialog" Return
wait_for test -e StrePla.exe.args || fail "StrePla was not started"
wait_for pgrep -f 'tolvane.exe' >/dev/null || fail "tolvane.exe was not started"
grep -q '^GartripFile=.*taak\.txt' tolvane.kvr || fail "the typed path was not stored"
grep -q '^AutoCheckStrepla=1' tolvane.kvr || fail "watching was not switched on"
exit $failures
SCENARIO
under_xvfb 240 "$work/scenario.sh" "$work" "$native" || exit 1
echo "windows desktop: the silent road's box, the tray, a rewrite converted, a second start," \
  "the launcher's dialog"
