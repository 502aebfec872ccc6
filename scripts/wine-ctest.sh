#!/usr/bin/env bash
# Runs the CTest suite of a Win32 build tree under Wine, inside one Xvfb
# display (24-bit, as the program's windows expect), with a persistent
# wineserver that is stopped again at the end.
#   wine-ctest.sh BUILD_DIR [ctest arguments...]
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"; shift
prefix="$build/wineprefix"
"$here/wine-prefix.sh" setup "$prefix" || exit 1

run() {
  "$here/wine-prefix.sh" start "$prefix"
  ctest --test-dir "$build" --output-on-failure -j2 --timeout 120 "$@"
  local rc=$?
  "$here/wine-prefix.sh" stop "$prefix"
  return $rc
}
export -f run
export here build prefix
xvfb-run -a -s "-screen 0 1024x768x24" bash -c 'run "$@"' _ "$@"
