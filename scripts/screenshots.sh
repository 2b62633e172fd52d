#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb (docs/*.png): the main window
# after a conversion, the options dialog on both tabs, the launcher's fill-in
# dialog and the tray menu.  Needs xvfb, xdotool, trayer and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
ninja -C build >/dev/null
out=$PWD/docs
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r build/bin/. "$work/"
cp examples/noord-nederland.ste "$work/export.ste"
printf '#!/bin/sh\n' >"$work/StrePla.exe"
printf 'MZ' >"$work/GARtrip.exe"
printf 'vlucht' >"$work/colibri.igc"
chmod +x "$work/StrePla.exe"
settings() {
  printf 'StrePlaFile=%s/export.ste\r\nGartripFile=%s/export.txt\r\nGartipProgramma=%s\r\nStreplaProgramma=%s/StrePla.exe\r\nStartGartrip=2\r\nAutoCheckStrepla=%s\r\nCheckForGARtrip=1\r\nLoggers=*Colibri*X*%s/StrePla.exe*%s/colibri.igc\r\nLoggers=*Volkslogger**/pad/vl.exe*/pad/vl.igc\r\n' \
    "$work" "$work" "$1" "$work" "$2" "$work" "$work" >"$work/tolvane.kvr"
}

cat >"$work/shots.sh" <<'SHOTS'
set -u
cd "$1"; out=$2
shot() { sleep 0.7; import -window root -crop "$2" "$out/$1.png"; }
window() { for _ in $(seq 50); do id=$(xdotool search --onlyvisible --name "$1" | head -1) && [ -n "$id" ] && break; sleep 0.1; done; echo "$id"; }
trayer --edge bottom --align right --expand false --width 6 --height 28 >/dev/null 2>&1 &
sleep 1
./tolvane & pid=$!
main=$(window '^TolVANE$')
xdotool windowmove "$main" 0 0; xdotool windowfocus "$main"; xdotool key --window "$main" F5
shot hoofdvenster 420x260+0+0
xdotool key --window "$main" alt+i; sleep 0.3; xdotool key o
options=$(window '^Opties instellen$')
xdotool windowmove "$options" 0 0
shot opties-gps 540x290+0+0
xdotool windowfocus "$options"; xdotool key --window "$options" ctrl+Tab
shot opties-loggers 540x290+0+0
xdotool key --window "$options" Escape
sleep 0.3
xdotool windowfocus "$main"; xdotool key --window "$main" alt+i; sleep 0.3; xdotool key s  # watch mode on
sleep 0.5
xdotool key --window "$main" ctrl+h
sleep 0.5
xdotool mousemove 788 586 click 3   # the icon in trayer, bottom right
shot systeemvak 800x600+0+0
convert "$out/systeemvak.png" -crop 320x220+480+380 +repage "$out/systeemvak.png"
kill $pid
SHOTS
settings "$work/GARtrip.exe" 2
xvfb-run -a -s "-screen 0 800x600x24" bash "$work/shots.sh" "$work" "$out" 2>/dev/null

settings "" 2
rm "$work/export.ste"
cat >"$work/launcher.sh" <<'LAUNCHER'
cd "$1"
./tlvexpress & pid=$!
for _ in $(seq 50); do id=$(xdotool search --onlyvisible --name '^Extra gegevens invullen$' | head -1) && [ -n "$id" ] && break; sleep 0.1; done
xdotool windowmove "$id" 0 0
sleep 0.7
import -window root -crop 480x160+0+0 "$2/invullen.png"
kill $pid
LAUNCHER
xvfb-run -a -s "-screen 0 800x600x24" bash "$work/launcher.sh" "$work" "$out" 2>/dev/null
ls -l "$out"
