#!/usr/bin/env bash
# The Wine test run forgives one thing only: a test whose process died by a
# signal right after GoogleTest's final summary of a passed run. A test that
# fails its first run, a script's exit code (after a passed run, too), a hang
# after passing, a crash in a later run and one after a failure must not be
# taken for that crash.
#   wine_retry_test.sh REPOSITORY
set -euo pipefail
repo="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cat > "$work/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(retry NONE)
enable_testing()
add_test(NAME Wine.CrashAtExit COMMAND sh -c "echo '[  PASSED  ] 1 test.'; kill -SEGV \$\$")
add_test(NAME Flaky.FailsItsFirstRun COMMAND sh -c "if [ ! -f first ]; then touch first; echo '[  FAILED  ] 1 test.'; exit 1; fi; echo '[  PASSED  ] 1 test.'")
add_test(NAME Script.WrongExitCode COMMAND sh -c "exit 3")
add_test(NAME Hang.AfterPassing COMMAND sh -c "echo '[  PASSED  ] 1 test.'; sleep 5")
add_test(NAME Fine.Passes COMMAND sh -c "echo '[  PASSED  ] 1 test.'")
add_test(NAME Wine.CrashAfterSkips COMMAND sh -c "printf '[  PASSED  ] 2 tests.\\r\\n[  SKIPPED ] 1 test, listed below:\\r\\n[  SKIPPED ] A.B\\r\\n'; kill -SEGV \$\$")
add_test(NAME Script.PassedThenExit1 COMMAND sh -c "echo '[  PASSED  ] 1 test.'; exit 1")
add_test(NAME Crash.InALaterRun COMMAND sh -c "echo '[  PASSED  ] 1 test.'; echo '[ RUN      ] A.B'; kill -SEGV \$\$")
add_test(NAME Crash.AfterAFailure COMMAND sh -c "echo '[  FAILED  ] A.B (1 ms)'; echo '[  PASSED  ] 1 test.'; kill -SEGV \$\$")
CMAKE
cmake -S "$work" -B "$work/b" >/dev/null
ctest --test-dir "$work/b" --timeout 2 > "$work/out.txt" 2>&1 || true
found="$("$repo/scripts/crashed-after-passing.sh" "$work/out.txt" "$work/b/Testing/Temporary/LastTest.log")"
found="$(sort <<<"$found" | paste -sd' ')"
if [ "$found" != "Wine.CrashAfterSkips Wine.CrashAtExit" ]; then
  echo "run again: '$found', expected only Wine.CrashAfterSkips and Wine.CrashAtExit"
  exit 1
fi
echo "only the crash at exit is run again"
