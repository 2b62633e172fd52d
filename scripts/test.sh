#!/usr/bin/env bash
# The tests.  Whole (what CI runs): set-up and the default build, its tests,
# the format check, the GUI monkey, the packages, the tests again built with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows build
# under wine (TOLVANE_SKIP_WINDOWS=1 leaves that out).  With --quick: the
# default build and its tests only.
#   scripts/test.sh [--quick]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

scripts/setup.sh
echo "== tests (build/)"
ctest --preset default
[ "${1:-}" = "--quick" ] && exit 0

echo "== format"
scripts/format.sh

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
quietly "configuring build-asan/" cmake --preset asan
quietly "building build-asan/" cmake --build --preset asan
ctest --preset asan

# The Windows build under wine: Qt for Windows is built once into a cache
# (about 20 minutes on two cores), then everything cross-built, the suite,
# the conversions against the Linux build and the zip.
if [ "${TOLVANE_SKIP_WINDOWS:-0}" != 1 ]; then
  echo "== Windows build and tests under wine (build-win/)"
  scripts/windows.sh
fi
