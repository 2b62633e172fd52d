# Run by scripts/screenshots.sh in a mount namespace of its own: WORK/home
# becomes /home/piloot, then the pictures are taken under Xvfb into OUT.
#   screenshots-inside.sh WORK OUT
set -euo pipefail
work=$1 out=$2
mount -t tmpfs tmpfs /home
mkdir /home/piloot
mount --bind "$work/home" /home/piloot
export HOME=/home/piloot
cd /home/piloot/tolvane

# settings GARTRIP_PROGRAM WATCH(1 on, 2 off)
settings() {
  local p=/home/piloot
  printf '%s\r\n' "StrePlaFile=$p/StrePla/export.ste" "GartripFile=$p/GARtrip/taak.txt" \
    "GartipProgramma=$1" "StreplaProgramma=$p/StrePla/StrePla.exe" StartGartrip=1 \
    "AutoCheckStrepla=$2" CheckForGARtrip=1 \
    "Loggers=*Colibri*X*$p/Colibri/colibri.exe*$p/Colibri/vlucht.igc" \
    "Loggers=*Volkslogger**$p/Volkslogger/vl.exe*$p/Volkslogger/vl.igc" \
    "CupFile=$p/XCSoarData/taak.cup" "GpxFile=$p/GPS/taak.gpx" >tolvane.kvr
}


cat >shots.sh <<'SHOTS'
source ./shot-lib.sh
openbox >/dev/null 2>&1 &
sleep 0.5
trayer --edge bottom --align right --expand false --width 6 --height 28 >/dev/null 2>&1 &
sleep 1
./tolvane &
pid=$!
main=$(window '^TolVANE$')
xdotool windowfocus "$main"
xdotool key --window "$main" F5
sleep 0.7
xdotool key --window "$main" alt+i
sleep 0.3
xdotool key o
options=$(window '^Opties instellen$')
sleep 0.7
shot opties-gps "$options"
xdotool windowfocus "$options"
xdotool key --window "$options" ctrl+Tab
sleep 0.7
shot opties-loggers "$options"
xdotool key --window "$options" Escape
sleep 0.3
xdotool windowfocus "$main"
xdotool key --window "$main" alt+i
sleep 0.3
xdotool key s # watch mode on: two panels
sleep 1
shot twee "$main" twee.png
strip twee.png twee-strip.png
# A long export: caught while it converts, with its running count in the third panel.
cp ../StrePla/export.ste ../StrePla/voorbeeld.ste
cp ../StrePla/lang.ste ../StrePla/export.ste
for delay in 0.2 0.4 0.1 0.6 0.3 0.8; do
  xdotool key --window "$main" F5
  sleep "$delay"
  kill -STOP $pid
  shot bezig "$main" bezig.png
  kill -CONT $pid
  strip bezig.png bezig-strip.png
  if [ "$(compare -metric AE twee-strip.png bezig-strip.png null: 2>&1)" != 0 ]; then
    cp bezig.png "$out/hoofdvenster.png"
    break
  fi
  sleep 4
done
sleep 4
cp ../StrePla/voorbeeld.ste ../StrePla/export.ste
xdotool key --window "$main" ctrl+h
sleep 0.5
xdotool mousemove 788 586 click 3 # the icon in trayer, bottom right
sleep 0.5
menu=$(xdotool search --onlyvisible --pid $pid | while read -r id; do
  eval "$(xdotool getwindowgeometry --shell "$id")"
  [ "$HEIGHT" -lt 300 ] && [ "$WIDTH" -gt 60 ] && echo "$id"
done | tail -1)
sleep 0.7
shot systeemvak "$menu"
kill $pid
SHOTS

cat >launcher.sh <<'LAUNCHER'
source ./shot-lib.sh
openbox >/dev/null 2>&1 &
sleep 0.5
./tlvexpress &
pid=$!
id=$(window '^Extra gegevens invullen$')
sleep 0.7
shot invullen "$id"
kill $pid
LAUNCHER

settings /home/piloot/GARtrip/GARtrip.exe 2
xvfb-run -a -s "-screen 0 800x600x24" bash shots.sh "$out" 2>/dev/null
[ "$(stat -c %Y "$out/hoofdvenster.png")" -ge "$(stat -c %Y shots.sh)" ] ||
  { echo "screenshots: no conversion was caught with its three panels" >&2; exit 1; }
settings "" 2
rm ../StrePla/export.ste
xvfb-run -a -s "-screen 0 800x600x24" bash launcher.sh "$out" 2>/dev/null
