#!/usr/bin/env bash
# The Windows build: Qt for Windows (scripts/windows-qt.sh, cached), then
# everything cross-built into build-win/, then the suite under wine, headless.
#   scripts/windows.sh [--no-tests]
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine qt6-base-dev-tools
  qt6-translations-l10n googletest dpkg-dev xvfb xauth imagemagick librsvg2-bin)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "windows: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

qt="$(scripts/windows-qt.sh | tail -n1)"
source scripts/wine-env.sh "$qt"

"$qt/bin/qt-cmake" -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DTOLVANE_QT_WINDOWS="$qt" \
  -DTOLVANE_BENCH=OFF -DTOLVANE_WERROR=ON >/dev/null
ninja -C build-win
[ "${1:-}" = "--no-tests" ] && exit 0
ctest --test-dir build-win --output-on-failure -j2
