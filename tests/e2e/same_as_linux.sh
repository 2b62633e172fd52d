#!/usr/bin/env bash
# The Windows build converts like the Linux build: for every golden exchange
# file, tolvane.exe under wine and tolvane write the same text, CUP and GPX
# files, exit with the same code and write the same error.log (times of day aside).
#   same_as_linux.sh LINUX_BIN WINDOWS_BIN GOLDEN_FOLDER   (wine's environment set)
set -euo pipefail
linux_bin=$1 windows_bin=$2 golden=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/linux" "$work/windows"
cp "$linux_bin/tolvane" "$linux_bin/libConverttlv.so" "$work/linux/"
cp "$windows_bin/tolvane.exe" "$windows_bin/Converttlv.dll" "$work/windows/"
wine_path() { echo "Z:${1//\//\\}"; }
stamp='s/[0-9]\{1,2\}-[0-9]\{1,2\}-[0-9]\{4\} [0-9:]\{8\}/TIJD/'
# Both absent, or both there with the same bytes.
same_file() { [ ! -e "$1" ] && [ ! -e "$2" ] || cmp -s "$1" "$2"; }
failed=0
for exchange in "$golden"/*.ste; do
  name=$(basename "$exchange" .ste)
  rm -f "$work"/{linux,windows}/{error.log,uit.txt,uit.cup,uit.gpx}
  code_linux=0 code_windows=0
  "$work/linux/tolvane" --cup "$work/linux/uit.cup" --gpx "$work/linux/uit.gpx" "$exchange" \
    "$work/linux/uit.txt" || code_linux=$?
  wine "$work/windows/tolvane.exe" --cup "$(wine_path "$work/windows/uit.cup")" \
    --gpx "$(wine_path "$work/windows/uit.gpx")" "$(wine_path "$exchange")" \
    "$(wine_path "$work/windows/uit.txt")" 2>/dev/null || code_windows=$?
  for side in linux windows; do
    if [ -f "$work/$side/error.log" ]; then sed -i "$stamp" "$work/$side/error.log"; fi
  done
  if [ "$code_linux" = "$code_windows" ] && same_file "$work"/{linux,windows}/uit.txt &&
    same_file "$work"/{linux,windows}/uit.cup && same_file "$work"/{linux,windows}/uit.gpx &&
    same_file "$work"/{linux,windows}/error.log; then
    echo "gelijk: $name"
  else
    echo "verschil bij $name (afsluitcodes $code_linux en $code_windows)"
    failed=1
  fi
done
exit $failed
