#!/usr/bin/env bash
# The one test command: installs what is missing, builds the native, sanitizer
# and Win32 configurations and the fuzz targets, and runs every test (the
# Win32 ones under Wine, each fuzz target once on each of its seeds).
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1

status=0
for preset in native native-asan win32; do
  echo "=== build $preset"
  { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; } || exit 1
done
echo "=== build fuzz targets"
{ cmake --preset fuzz >/dev/null && cmake --build --preset fuzz --target fuzz_targets; } || exit 1
for preset in native native-asan; do
  echo "=== test $preset"
  ctest --preset "$preset" || status=1
done
echo "=== test fuzz (each target once on each of its seeds)"
ctest --preset fuzz || status=1
echo "=== test win32 (Wine)"
scripts/wine-ctest.sh build/win32 || status=1
exit $status
