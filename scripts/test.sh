#!/usr/bin/env bash
# The whole test suite: set-up and build, the tests, then the tests once more
# built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh -DTOLVANE_WERROR=ON >/dev/null
echo "== tests (build/)"
ctest --test-dir build --output-on-failure -j2

# The plain build's program carries its own C++ runtime and the window module
# the shared one: 30 seconds of the GUI monkey where they meet (77: skipped,
# no display tools).  Outside ctest, so that a test run stays quick.
echo "== GUI monkey on the plain build"
monkey=0
scripts/monkey.sh 30 20261208 build/bin || monkey=$?
[ "$monkey" = 0 ] || [ "$monkey" = 77 ]

echo "== packages"
scripts/package.sh

echo "== tests under ASan + UBSan (build-asan/)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_SANITIZE=ON \
  -DTOLVANE_BENCH=OFF -DTOLVANE_WERROR=ON >/dev/null
ninja -C build-asan >/dev/null
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j2

# The Windows build under wine: Qt for Windows is built once into a cache
# (about 20 minutes on two cores), then everything cross-built, the suite,
# the conversions against the Linux build and the zip.
if [ "${TOLVANE_SKIP_WINDOWS:-0}" != 1 ]; then
  echo "== Windows build and tests under wine (build-win/)"
  scripts/windows.sh
fi
