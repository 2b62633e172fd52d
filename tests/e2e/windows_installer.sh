#!/usr/bin/env bash
# The Windows installer tried under wine, in a fresh prefix: a quiet install
# puts the programs in Program Files\TolVANE with their Start menu shortcuts
# and an entry among the installed programs; the installed tolvane.exe
# converts the golden files exactly; a VBScript creates the component by its
# ProgID without any regsvr32; installing the same package again, then a
# newer one, leaves one copy; removing it takes away the files, the shortcuts
# and the component's keys, so that the script gets no object.
#   windows_installer.sh MSI NEWER_MSI GOLDEN_DIR
set -uo pipefail
msi=$1 newer=$2 golden=$3
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d)
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX" "$work"' EXIT
unset WINEPATH  # only what the package installed
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
folder="$WINEPREFIX/drive_c/Program Files/TolVANE"
# The Start menu's shortcuts, wherever wine keeps the menu of all users.
shortcut() { find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/*' -name "$1.lnk" | grep -q .; }
wine_path() { echo "Z:${1//\//\\}"; }
# The installed-programs entries named TolVANE, as "DisplayVersion" lines.
entries() {
  wineserver -w
  grep -A30 -i '^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\' \
    "$WINEPREFIX/system.reg" | awk '/^\[/ {name = ""} /"DisplayName"="TolVANE"/ {name = 1}
    name && /"DisplayVersion"=/ {print}'
}
install() {
  wine msiexec /i "$(wine_path "$1")" /qn
  local code=$?
  [ "$code" = 0 ] || fail "msiexec /i $(basename "$1") ended with $code"
}
script_converts() {  # the component by its ProgID, no registration by hand
  printf '%s\r\n' 'Set p = CreateObject("Converttlv.ClsParse")' \
    "If p.Parsen(\"$(wine_path "$golden/basic.ste")\", \"$(wine_path "$work/com.txt")\") Then WScript.Echo p.intAantWaypoints & \" \" & p.intAantRoutes" \
    >"$work/client.vbs"
  wine cscript //nologo "$(wine_path "$work/client.vbs")" 2>/dev/null | tr -d '\r'
}

wineboot -i >/dev/null 2>&1
install "$msi"
for file in tolvane.exe tlvexpress.exe Converttlv.dll tolvanevenster.dll Qt6Widgets.dll \
  platforms/qwindows.dll help/inhoud.html LEESMIJ.txt; do
  [ -f "$folder/$file" ] || fail "$file is not installed"
done
for name in TolVANE "TolVANE Express"; do shortcut "$name" || fail "no Start menu shortcut $name"; done
version=$(basename "$msi" | sed 's/^tolvane-\(.*\)-windows-x64\.msi$/\1/')
[ "$(entries)" = "\"DisplayVersion\"=\"$version\"" ] || fail "installed programs: $(entries)"

for exchange in "$golden"/*.ste; do
  expected=${exchange%.ste}.txt
  [ -f "$expected" ] || continue
  wine "C:\\Program Files\\TolVANE\\tolvane.exe" "$(wine_path "$exchange")" \
    "$(wine_path "$work/uit.txt")" 2>/dev/null
  cmp -s "$work/uit.txt" "$expected" || fail "the installed tolvane.exe differs on $(basename "$exchange")"
  rm -f "$work/uit.txt"
done
[ "$(script_converts)" = "3 1" ] || fail "the script did not get the component's counts"
cmp -s "$work/com.txt" "$golden/basic.txt" || fail "the component's text file differs"

install "$msi"
[ "$(entries)" = "\"DisplayVersion\"=\"$version\"" ] || fail "installed again: $(entries)"
newer_version=$(basename "$newer" | sed 's/^tolvane-\(.*\)-windows-x64\.msi$/\1/')
install "$newer"
[ "$(entries)" = "\"DisplayVersion\"=\"$newer_version\"" ] || fail "after the newer one: $(entries)"

wine msiexec /x "$(wine_path "$newer")" /qn || fail "msiexec /x ended with $?"
[ -e "$folder" ] && fail "files are left: $(ls -R "$folder" | head -5)"
for name in TolVANE "TolVANE Express"; do shortcut "$name" && fail "the shortcut $name is left"; done
[ -z "$(entries)" ] || fail "the installed-programs entry is left"
grep -qi 'Converttlv' "$WINEPREFIX/system.reg" && fail "registry keys of the component are left"
[ -z "$(script_converts)" ] || fail "the script still gets the component"

[ "$failures" = 0 ] || exit 1
echo "installer: installs, converts, registers the component, upgrades in place, removes all"
