#!/usr/bin/env bash
# The Windows build: Qt for Windows (scripts/windows-qt.sh, cached), then
# everything cross-built into build-win/, the suite under wine (headless),
# the same conversions as the Linux build in build/ (when it is there), and
# the zip, tried from a folder of its own, and the installer (MSI), tried in
# a fresh wine prefix.
#   scripts/windows.sh [--no-tests]
set -euo pipefail
cd "$(dirname "$0")/.."

# widl's IDL files come with libwine-dev; rsvg-convert and ImageMagick render
# the pictures.
packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine libwine-dev qt6-base-dev-tools
  qt6-translations-l10n googletest dpkg-dev cmake ninja-build librsvg2-bin imagemagick unzip fonts-dejavu-core)
source scripts/lib.sh
install_missing "${packages[@]}"

qt="$(scripts/windows-qt.sh | tail -n1)"
source scripts/wine-env.sh "$qt"
# Qt finds its Dutch translation in its own folder, as the zip's programs find it in theirs.
mkdir -p "$qt/translations" && cp /usr/share/qt6/translations/qtbase_nl.qm "$qt/translations/"

export TOLVANE_QT_WINDOWS=$qt
quietly "configuring build-win/" cmake --preset windows
quietly "building build-win/" cmake --build --preset windows
[ "${1:-}" = "--no-tests" ] && exit 0
ctest --preset windows
if [ -x build/bin/tolvane ]; then
  tests/e2e/same_as_linux.sh build/bin build-win/bin tests/conversion/golden
fi

# The zip on its own: no search path into the build machine's libraries.
(cd build-win && quietly "cpack" cpack)
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q build-win/packages/tolvane-*-windows-x64.zip -d "$unpacked"
program=$(echo "$unpacked"/tolvane-*-windows-x64)
cp tests/conversion/golden/basic.ste "$program/taak 1.ste"
(cd "$program" && WINEPATH= wine tolvane.exe "taak 1.ste" "uit 1.txt" 2>/dev/null)
cmp "$program/uit 1.txt" tests/conversion/golden/basic.txt
echo "windows: $(basename build-win/packages/tolvane-*-windows-x64.zip) converts on its own"
# The zip's programs on a display with a tray host: the desktop roads.
tests/e2e/windows_desktop.sh "$program" build-win/tests/read_box.exe build-win/tests/record_arguments.exe

# The installer, tried in a fresh wine prefix together with a newer copy of itself.
msi=$(scripts/windows-msi.sh)
newer=$(scripts/windows-msi.sh 99.0.0)
tests/e2e/windows_installer.sh "$msi" "$newer" tests/conversion/golden
