#!/usr/bin/env bash
# Qt 6 for Windows (x86_64-w64-mingw32), cross-built from Debian's own
# qt6-base source package, installed into a cache folder outside the work tree
# and reused when it is there.  Prints the install folder.
#   scripts/windows-qt.sh
# The source comes through a private apt source list: the machine's own apt
# set-up is not touched.  Host tools (moc, rcc, uic) are qt6-base-dev-tools'.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
version=6.4.2
cache="${XDG_CACHE_HOME:-$HOME/.cache}/tolvane"
prefix="$cache/qt-$version-mingw64"
# The marker holds this script's digest: a changed configuration builds again.
digest="$(sha256sum "$0" | cut -c1-16)"
if [ "$(cat "$prefix/.complete" 2>/dev/null)" = "$digest" ]; then
  echo "$prefix"
  exit 0
fi
work="$cache/qt-$version-work"
mkdir -p "$work"

fetch_source() {
  local apt_dir="$work/apt"
  mkdir -p "$apt_dir/lists/partial"
  cat >"$apt_dir/debian-src.sources" <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  local options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir"
    -o "Dir::State::Lists=$apt_dir/lists" -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)")
  apt-get "${options[@]}" -qq update
  (cd "$work" && apt-get "${options[@]}" -qq source --download-only qt6-base)
  rm -rf "$work/src"
  dpkg-source --no-check -x "$(ls "$work"/qt6-base_"$version"*.dsc | head -n1)" "$work/src" >/dev/null
  # The Windows plugin asks only for DirectWrite 3 before compiling its font
  # database, which is built only together with Direct2D (switched off here).
  sed -i 's/QT_CONFIG(directwrite3)$/QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$work/src/src/plugins/platforms/windows/qwindowsintegration.cpp"
}

[ -f "$work/src/CMakeLists.txt" ] || fetch_source

# The offscreen platform plugin (the headless tests) needs FreeType: the bundled one.
off=(pkg_config network sql dbus opengl vulkan printsupport concurrent xml icu zstd
  fontconfig jpeg tabletevent direct2d system_zlib system_png system_harfbuzz system_pcre2
  system_doubleconversion system_freetype sql_sqlite)
features=()
for feature in "${off[@]}"; do features+=("-DFEATURE_$feature=OFF"); done

cmake -S "$work/src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DINPUT_opengl=no \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_testlib=ON -DFEATURE_widgets=ON -DFEATURE_freetype=ON "${features[@]}" >"$work/configure.log" 2>&1 ||
  { tail -n 40 "$work/configure.log" >&2; exit 1; }
ninja -C "$work/build" >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; exit 1; }
ninja -C "$work/build" install >/dev/null
echo "$digest" >"$prefix/.complete"
rm -rf "$work/build"
echo "$prefix"
