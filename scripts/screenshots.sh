#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb (docs/*.png): the main window
# after a conversion, the options dialog on both tabs, the launcher's fill-in
# dialog and the tray menu, each cropped to its window with the frame that
# the window manager openbox gives it.  Needs xvfb, xdotool, trayer, openbox
# and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
for tool in openbox import xwininfo; do
  command -v "$tool" >/dev/null && continue
  apt-get update -qq && apt-get install -y -qq --no-install-recommends openbox imagemagick x11-utils \
    >/dev/null
  break
done
ninja -C build >/dev/null
out=$PWD/docs
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r build/bin/. "$work/"
cp examples/noord-nederland.ste "$work/export.ste"
printf '#!/bin/sh\n' >"$work/StrePla.exe"
printf '#!/bin/sh\n' >"$work/GARtrip.exe"
printf 'vlucht' >"$work/colibri.igc"
chmod +x "$work/StrePla.exe" "$work/GARtrip.exe"
settings() {
  printf 'StrePlaFile=%s/export.ste\r\nGartripFile=%s/export.txt\r\nGartipProgramma=%s\r\nStreplaProgramma=%s/StrePla.exe\r\nStartGartrip=1\r\nAutoCheckStrepla=%s\r\nCheckForGARtrip=1\r\nLoggers=*Colibri*X*%s/StrePla.exe*%s/colibri.igc\r\nLoggers=*Volkslogger**/pad/vl.exe*/pad/vl.igc\r\n' \
    "$work" "$work" "$1" "$work" "$2" "$work" "$work" >"$work/tolvane.kvr"
}

cat >"$work/shots.sh" <<'SHOTS'
set -u
cd "$1"; out=$2
# The window with the frame openbox gives it (_NET_FRAME_EXTENTS), as a pilot sees it.
shot() {
  sleep 0.7
  local info x y width height extents left=0 right=0 top=0 bottom=0
  info=$(xwininfo -id "$2")
  x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
  y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
  width=$(awk '/Width:/ {print $NF}' <<<"$info")
  height=$(awk '/Height:/ {print $NF}' <<<"$info")
  extents=$(xprop -id "$2" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$' | tr -d ' ')
  [ -n "$extents" ] && IFS=, read -r left right top bottom <<<"$extents"
  import -window root -crop "$((width + left + right))x$((height + top + bottom))+$((x - left))+$((y - top))" \
    +repage "$out/$1.png"
}
window() { for _ in $(seq 50); do id=$(xdotool search --onlyvisible --name "$1" | head -1) && [ -n "$id" ] && break; sleep 0.1; done; echo "$id"; }
openbox >/dev/null 2>&1 &
sleep 0.5
trayer --edge bottom --align right --expand false --width 6 --height 28 >/dev/null 2>&1 &
sleep 1
./tolvane & pid=$!
main=$(window '^TolVANE$')
xdotool windowfocus "$main"; xdotool key --window "$main" F5
shot hoofdvenster "$main"
xdotool key --window "$main" alt+i; sleep 0.3; xdotool key o
options=$(window '^Opties instellen$')
shot opties-gps "$options"
xdotool windowfocus "$options"; xdotool key --window "$options" ctrl+Tab
shot opties-loggers "$options"
xdotool key --window "$options" Escape
sleep 0.3
xdotool windowfocus "$main"; xdotool key --window "$main" alt+i; sleep 0.3; xdotool key s  # watch mode on
sleep 0.5
xdotool key --window "$main" ctrl+h
sleep 0.5
xdotool mousemove 788 586 click 3   # the icon in trayer, bottom right
sleep 0.5
menu=$(xdotool search --onlyvisible --pid $pid | while read -r id; do
  eval "$(xdotool getwindowgeometry --shell "$id")"
  [ "$HEIGHT" -lt 300 ] && [ "$WIDTH" -gt 60 ] && echo "$id"; done | tail -1)
shot systeemvak "$menu"
kill $pid
SHOTS
settings "$work/GARtrip.exe" 2
xvfb-run -a -s "-screen 0 800x600x24" bash "$work/shots.sh" "$work" "$out" 2>/dev/null

settings "" 2
rm "$work/export.ste"
cat >"$work/launcher.sh" <<'LAUNCHER'
cd "$1"
openbox >/dev/null 2>&1 &
sleep 0.5
./tlvexpress & pid=$!
for _ in $(seq 50); do id=$(xdotool search --onlyvisible --name '^Extra gegevens invullen$' | head -1) && [ -n "$id" ] && break; sleep 0.1; done
out=$2
LAUNCHER
sed -n '/^shot() {/,/^}/p' "$work/shots.sh" >>"$work/launcher.sh"
cat >>"$work/launcher.sh" <<'LAUNCHER'
shot invullen "$id"
kill $pid
LAUNCHER
xvfb-run -a -s "-screen 0 800x600x24" bash "$work/launcher.sh" "$work" "$out" 2>/dev/null
ls -l "$out"
