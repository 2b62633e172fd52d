#!/usr/bin/env bash
# Checks that every C++ source follows .clang-format; with --fix, formats
# them.  Lists the files that differ and ends non-zero when there are any.
#   scripts/format.sh [--fix]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
install_missing clang-format
mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${sources[@]}"
  exit 0
fi
differ=()
for source in "${sources[@]}"; do
  clang-format --dry-run -Werror "$source" >/dev/null 2>&1 || differ+=("$source")
done
if [ ${#differ[@]} -gt 0 ]; then
  echo "format: these files differ from .clang-format (scripts/format.sh --fix):" >&2
  printf '  %s\n' "${differ[@]}" >&2
  exit 1
fi
echo "format: ${#sources[@]} files follow .clang-format"
