#!/usr/bin/env bash
# Installs what the project needs (Debian packages, only those missing),
# then configures and builds the default preset into build/.  Safe to run again.  Xvfb, trayer
# and xdotool serve the end-to-end test under a real display and tray;
# dpkg-dev, file, lintian and desktop-file-utils build and check the packages;
# time and valgrind measure the benchmarks' page faults, peak memory and
# instructions (where perf cannot read the processor's counter); clang-format
# checks the formatting.
#   scripts/setup.sh [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-translations-l10n libqt6svg6
  xvfb xauth trayer xdotool
  dpkg-dev file lintian desktop-file-utils time valgrind clang-format
  gpsbabel libxml2-utils)
source scripts/lib.sh
install_missing "${packages[@]}"

quietly "configuring build/" cmake --preset default "$@"
quietly "building build/" cmake --build --preset default
