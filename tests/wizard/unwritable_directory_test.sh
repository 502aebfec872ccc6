#!/usr/bin/env bash
# The directory checks on folders the user cannot write. As root, Wine writes
# anywhere, so the wizard's test program runs as the unprivileged user nobody
# in a copy of the test prefix, where C:\ReadOnly belongs to root.
#   unwritable_directory_test.sh WINE_ENV PREFIX TEST_EXE
set -euo pipefail
wine_env="$1"; prefix="$2"; test_exe="$3"

source "$(dirname "$0")/../support/unprivileged.sh"
make_user_prefix "$wine_env" "$prefix"
tests="$user_prefix/drive_c/kvtest"
mkdir -p "$tests"
cp "$test_exe" "$(dirname "$test_exe")"/{Liesmich.txt,Vertrag.Txt} "$tests/"
if [ -n "${XAUTHORITY:-}" ]; then
  cp "$XAUTHORITY" "$user_prefix/Xauthority"
  export XAUTHORITY="$user_prefix/Xauthority"
fi
chown -R nobody:nogroup "$user_prefix"
# A folder nobody may write, one with a file left over from an earlier test.
mkdir -p "$user_prefix/drive_c/ReadOnly/Stale"
touch "$user_prefix/drive_c/ReadOnly/Stale/FileTest.txt"
chown -R root:root "$user_prefix/drive_c/ReadOnly"
chmod -R 755 "$user_prefix/drive_c/ReadOnly"

out="$(as_nobody "C:\\kvtest\\$(basename "$test_exe")" --gtest_filter=Wizard.UnwritableDirectory* | tr -d '\r' || true)"
echo "$out"
grep -q '^\[  PASSED  \] 1 test' <<<"$out" || { echo "the test did not pass"; exit 1; }
grep -q '^\[  SKIPPED \]' <<<"$out" && { echo "the folder was writable after all"; exit 1; }
echo "unwritable directories handled"
