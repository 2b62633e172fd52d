#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb (docs/*.png): the main window
# while a conversion runs with watch mode and the GARtrip autostart on (three
# status panels), the options dialog on both tabs, the tray menu and the
# launcher's fill-in dialog, each cropped to its window with the frame that
# the window manager openbox gives it.  The programs and their files lie in
# /home/piloot, a folder of a private mount namespace, so that the pictures
# show the paths a pilot has.
#   scripts/screenshots.sh        (after scripts/setup.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
install_missing xvfb xauth xdotool trayer openbox imagemagick x11-utils util-linux
quietly "building build/" ninja -C build

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp scripts/screenshots-inside.sh "$work/"
mkdir -p "$work/home/tolvane" "$work/home/StrePla" "$work/home/GARtrip" "$work/home/Colibri" \
  "$work/home/XCSoarData" "$work/home/GPS"
cp scripts/shot-lib.sh "$work/home/tolvane/"
cp -r build/bin/. "$work/home/tolvane/"
cp examples/noord-nederland.ste "$work/home/StrePla/export.ste"
# A long export: 3,000 routes of 1,000 members each (46 MB), so that its
# conversion lasts long enough to be seen.
{
  cat examples/noord-nederland.ste
  awk 'BEGIN { for (r = 1; r <= 3000; r++) { printf "route\n{\n  name = \"Taak %d\"\n", r
    for (m = 0; m < 1000; m++) printf "  waypoint = %d\n", m % 13 + 1; printf "}\n\n" } }'
} >"$work/home/StrePla/lang.ste"
for program in StrePla/StrePla.exe GARtrip/GARtrip.exe Colibri/colibri.exe; do
  printf '#!/bin/sh\n' >"$work/home/$program"
  chmod +x "$work/home/$program"
done
printf 'vlucht' >"$work/home/Colibri/vlucht.igc"

unshare --map-root-user --mount bash "$work/screenshots-inside.sh" "$work" "$PWD/docs"
ls -l docs/*.png
