#!/usr/bin/env bash
# Takes the picture of the Windows program (docs/windows-hoofdvenster.png):
# the installer of build-win/ installed into a fresh wine prefix, the
# installed tolvane.exe converting the example on an Xvfb display with the
# window manager openbox, cropped to its window with the frame.
#   scripts/screenshots-windows.sh        (after scripts/windows.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
install_missing xvfb xauth xdotool openbox imagemagick x11-utils
msi=$(ls build-win/packages/tolvane-*-windows-x64.msi)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
unset WINEPATH WINEQT_QPA_PLATFORM
wineboot -i >/dev/null 2>&1
quietly "installing $msi" wine msiexec /i "Z:$(realpath "$msi" | tr / '\\')" /qn
drive=$WINEPREFIX/drive_c
user=$(id -un)  # wine names the Windows user after the Linux one
mkdir -p "$drive/Taken" "$drive/GARtrip" "$drive/users/$user/AppData/Roaming/tolvane"
cp examples/noord-nederland.ste "$drive/Taken/week 49.ste"
printf '%s\r\n' 'StrePlaFile=C:\Taken\week 49.ste' 'GartripFile=C:\GARtrip\taak.txt' StartGartrip=2 \
  AutoCheckStrepla=2 CheckForGARtrip=1 >"$drive/users/$user/AppData/Roaming/tolvane/tolvane.kvr"
cat >"$WINEPREFIX/shot.sh" <<'SHOT'
source "$2/scripts/shot-lib.sh" "$2/docs"
openbox >/dev/null 2>&1 &
sleep 1
wine 'C:\Program Files\TolVANE\tolvane.exe' 2>/dev/null &
main=$(window '^TolVANE$')
sleep 3
xdotool windowfocus "$main" key F5
sleep 2
shot windows-hoofdvenster "$main"
SHOT
xvfb-run -a -s "-screen 0 800x600x24" bash "$WINEPREFIX/shot.sh" "$WINEPREFIX" "$PWD"
ls -l docs/windows-hoofdvenster.png
