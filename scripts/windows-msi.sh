#!/usr/bin/env bash
# Builds the Windows installer build-win/packages/tolvane-VERSION-windows-x64.msi with
# wixl (msitools) from the installed layout of build-win/ and the installer
# source that CMake configured (build-win/msi/tolvane.wxs).  With a version,
# builds the same package under that version into build-win/msi/ instead: a
# package to try an upgrade with.  Prints the package's path.
#   scripts/windows-msi.sh [VERSION]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
install_missing wixl
msi=build-win/msi
rm -rf "$msi/stage"
quietly "installing into $msi/stage" cmake --install build-win --prefix "$msi/stage"
(cd "$msi" && find stage -type f | LC_ALL=C sort |
  wixl-heat -p stage/ --var var.SourceDir --directory-ref INSTALLDIR \
    --component-group ProgramFiles --win64 >files.wxs)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win/CMakeCache.txt)
source=tolvane.wxs
out=$PWD/build-win/packages/tolvane-$version-windows-x64.msi
if [ -n "${1:-}" ]; then
  sed "s/Version=\"$version\"/Version=\"$1\"/" "$msi/tolvane.wxs" >"$msi/other.wxs"
  source=other.wxs
  out=$PWD/$msi/tolvane-$1-windows-x64.msi
fi
mkdir -p "$(dirname "$out")"
(cd "$msi" && quietly "wixl" wixl -a x64 -D SourceDir=stage -D Win64=yes -o "$out" "$source" \
  files.wxs)
echo "$out"
