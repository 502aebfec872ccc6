#!/usr/bin/env bash
# Wine 8.0 now and then kills a test process with SIGSEGV as it exits, after
# the test has passed: a thread of Wine's own takes a signal during a server
# call and crashes looking up its thread block (NtCurrentTeb in
# pthread_getspecific). Prints the names of the tests that show only that
# signature: a process that died (killed by the signal, or Wine's exit code
# for it) after GoogleTest's "[  PASSED  ]" line, without a "[  FAILED  ]"
# line in CTest's log. Every other failure, a script's wrong exit code or a
# timeout included, is the program's.
#   crashed-after-passing.sh CTEST_OUTPUT LAST_TEST_LOG
set -euo pipefail
awk '
  FNR == NR { if ($0 ~ /\*\*\*(Exception|Failed)/ && match($0, /Test +#[0-9]+: [^ *]+/)) {
                test = substr($0, RSTART, RLENGTH); sub(/.*: /, "", test); killed[test] = 1 }
              next }
  /^[0-9]+\/[0-9]+ Test: / { name = $3; passed = 0; failed = 0; next }
  /^\[  PASSED  \]/ { passed = 1 }
  /^\[  FAILED  \]/ { failed = 1 }
  /^Test Failed\./ && passed && !failed && (name in killed) { print name }
' "$1" "$2"
