#!/usr/bin/env bash
# Runs the CTest suite of a Win32 build tree under Wine, inside one Xvfb
# display (24-bit, as the program's windows expect), with a persistent
# wineserver that is stopped again at the end.
#   wine-ctest.sh BUILD_DIR [ctest arguments...]
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

if [ "${1:-}" = "--inside-display" ]; then
  shift
  build="$1"; shift
  "$here/wine-prefix.sh" start "$build/wineprefix"
  # Wine 8.0 sometimes kills a test process with SIGSEGV as it exits, after
  # the test has passed: a thread of Wine's own takes a signal during a
  # server call and crashes looking up its thread block (NtCurrentTeb in
  # pthread_getspecific). Under CTest about one process in a hundred or two;
  # a failure that is the program's fails again on the second run.
  ctest --test-dir "$build" --output-on-failure -j2 --timeout 120 --repeat until-pass:2 "$@"
  rc=$?
  "$here/wine-prefix.sh" stop "$build/wineprefix"
  exit $rc
fi

build="$(cd "$1" && pwd)"; shift
"$here/wine-prefix.sh" setup "$build/wineprefix" || exit 1
exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside-display "$build" "$@"
