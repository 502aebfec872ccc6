#!/usr/bin/env bash
# The copy step over a read-only file. As root, Wine writes over read-only
# files, so the test program runs as the unprivileged user nobody in a copy of
# the test prefix, where the attribute binds as it does on Windows.
#   read_only_target_test.sh WINE_ENV PREFIX TEST_EXE
set -euo pipefail
wine_env="$1"; prefix="$2"; test_exe="$3"

source "$(dirname "$0")/../support/unprivileged.sh"
make_user_prefix "$wine_env" "$prefix"
mkdir -p "$user_prefix/drive_c/kvtest"
cp "$test_exe" "$user_prefix/drive_c/kvtest/"
# The display's key belongs to root; the test's dialogs need it.
if [ -n "${XAUTHORITY:-}" ]; then
  cp "$XAUTHORITY" "$user_prefix/Xauthority"
  export XAUTHORITY="$user_prefix/Xauthority"
fi
chown -R nobody:nogroup "$user_prefix"

out="$(as_nobody "C:\\kvtest\\$(basename "$test_exe")" --gtest_filter=CopyFailure.ReadOnlyTargetDecidedByTheUser |
       tr -d '\r')"
echo "$out"
grep -q '^\[  PASSED  \] 1 test' <<<"$out" || { echo "the test did not pass"; exit 1; }
grep -q '^\[  SKIPPED \]' <<<"$out" && { echo "the read-only attribute did not bind"; exit 1; }
echo "read-only target handled"
