#!/usr/bin/env bash
# Wine 8.0 now and then kills a test process with SIGSEGV as it exits, after
# the test has passed: a thread of Wine's own takes a signal during a server
# call and crashes looking up its thread block (NtCurrentTeb in
# pthread_getspecific). Prints the names of the tests that show exactly that
# signature: CTest saw the process die by a signal, and its output ends with
# GoogleTest's final summary of a run that passed ("[  PASSED  ] N tests.",
# skipped tests listed after it at most), with no "[  FAILED  ]" line
# anywhere. Anything after the summary (a script's own check, a later run) or
# a plain exit code is the program's: a crash that Wine turns into an exit
# code prints its report after the summary, so it is never forgiven either.
#   crashed-after-passing.sh CTEST_OUTPUT LAST_TEST_LOG
set -euo pipefail
awk '
  { sub(/\r$/, "") }
  FNR == NR { if ($0 ~ /\*\*\*Exception/ && match($0, /Test +#[0-9]+: [^ *]+/)) {
                test = substr($0, RSTART, RLENGTH); sub(/.*: /, "", test); killed[test] = 1 }
              next }
  /^[0-9]+\/[0-9]+ Test: / { name = $3; inOutput = 0; next }
  /^Output:$/ { inOutput = 1; dashes = 1; failed = 0; summary = 0; next }
  inOutput && dashes { dashes = 0; next }
  /^<end of output>$/ { inOutput = 0; done[name] = summary && !failed; next }
  !inOutput || /^[ \t]*$/ { next }
  /^\[  FAILED  \]/ { failed = 1 }
  /^\[  PASSED  \] [0-9]+ tests?\.$/ { summary = 1; next }
  /^\[  SKIPPED \]/ { next }
  { summary = 0 }
  END { for (test in done) if (done[test] && (test in killed)) print test }
' "$1" "$2"
