#!/usr/bin/env bash
# Builds the packages (build/tolvane_<version>_amd64.deb and .tar.gz) and
# checks them: an installation into a temporary prefix converts the example
# byte for byte as the build tree does, the .deb depends on the Qt runtime,
# lintian finds no error, the package's version is the one CMakeLists.txt
# sets, and the desktop entries are valid.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
quietly "building build/" cmake --build build
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

quietly "installing into $prefix" cmake --install build --prefix "$prefix"
build/bin/tolvane examples/noord-nederland.ste "$prefix/bouw.txt"
"$prefix/bin/tolvane" examples/noord-nederland.ste "$prefix/geinstalleerd.txt"
cmp "$prefix/bouw.txt" "$prefix/geinstalleerd.txt"
echo "package: the installed tolvane converts the example as the build tree does"

(cd build && quietly "cpack" cpack)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
deb=build/tolvane_${version}_amd64.deb
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] ||
  { echo "package: $deb has version $(dpkg-deb --field "$deb" Version), not $version"; exit 1; }
depends=$(dpkg-deb --field "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins libqt6svg6; do
  [[ $depends == *"$needed"* ]] || { echo "package: $deb does not depend on $needed"; exit 1; }
done
echo "package: $deb depends on $depends"
lintian --fail-on error "$deb" 2>/dev/null | { grep -E '^E:' && exit 1 || true; }
echo "package: lintian reports no error"
desktop-file-validate packaging/*.desktop
echo "package: desktop entries valid; $(ls build/tolvane_*_amd64.tar.gz) built"
