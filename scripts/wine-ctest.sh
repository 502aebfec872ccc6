#!/usr/bin/env bash
# Runs the CTest suite of a Win32 build tree under Wine, inside one Xvfb
# display (24-bit, as the program's windows expect), with a persistent
# wineserver that is stopped again at the end.
#   wine-ctest.sh BUILD_DIR [ctest arguments...]
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

# Wine 8.0 now and then kills a test process with SIGSEGV as it exits, after
# the test has passed: a thread of Wine's own takes a signal during a server
# call and crashes looking up its thread block (NtCurrentTeb in
# pthread_getspecific). Prints the names of the tests that show only that
# signature: a process that died (killed by the signal, or Wine's exit code
# for it) after GoogleTest's "[  PASSED  ]" line, without a "[  FAILED  ]"
# line in CTest's log. Every other failure, a script's wrong exit code or a
# timeout included, is the program's.
crashed_after_passing() {  # OUTPUT LOG
  awk '
    FNR == NR { if ($0 ~ /\*\*\*(Exception|Failed)/ && match($0, /Test +#[0-9]+: [^ *]+/)) {
                  test = substr($0, RSTART, RLENGTH); sub(/.*: /, "", test); killed[test] = 1 }
                next }
    /^[0-9]+\/[0-9]+ Test: / { name = $3; passed = 0; failed = 0; next }
    /^\[  PASSED  \]/ { passed = 1 }
    /^\[  FAILED  \]/ { failed = 1 }
    /^Test Failed\./ && passed && !failed && (name in killed) { print name }
  ' "$1" "$2"
}

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
    mapfile -t retried < <(crashed_after_passing "$output" "$log")
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
