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
  log="$build/Testing/Temporary/LastTest.log"
  output="$build/Testing/Temporary/wine-ctest.out"
  mkdir -p "$(dirname "$output")"
  ctest --test-dir "$build" --output-on-failure -j2 --timeout 120 "$@" | tee "$output"
  rc=${PIPESTATUS[0]}
  retried=()
  if [ $rc -ne 0 ] && [ -f "$log" ]; then
    # Wine 8.0 now and then kills a passed test's process as it exits: only
    # that is run again (scripts/crashed-after-passing.sh tells it).
    mapfile -t retried < <("$here/crashed-after-passing.sh" "$output" "$log")
    failed=$(grep -c . "$build/Testing/Temporary/LastTestsFailed.log" 2>/dev/null || echo 0)
    # Only when every failure is that crash does a second run decide.
    if [ ${#retried[@]} -gt 0 ] && [ ${#retried[@]} -eq "$failed" ]; then
      pattern=$(printf '%s\n' "${retried[@]}" | sed 's/[][\\.*^$+?(){}|/]/\\&/g' | paste -sd'|')
      echo "=== run again after Wine's crash at exit: ${retried[*]}"
      ctest --test-dir "$build" --output-on-failure --timeout 120 -R "^($pattern)\$"
      rc=$?
    else
      retried=()
    fi
  fi
  "$here/wine-prefix.sh" stop "$build/wineprefix"
  if [ ${#retried[@]} -gt 0 ]; then
    echo "=== tests that passed, then crashed in Wine at exit, and ran again:"
    printf '    %s\n' "${retried[@]}"
  fi
  exit $rc
fi

build="$(cd "$1" && pwd)"; shift
"$here/wine-prefix.sh" setup "$build/wineprefix" || exit 1
exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside-display "$build" "$@"
