#!/usr/bin/env bash
# The copy step on a full disk: a small tmpfs, linked into the test prefix as
# drive R:, which the test fills. Mounting needs root (as in CI); where it is
# refused, the test is reported as skipped (exit 77).
#   full_disk_test.sh WINE_ENV PREFIX TEST_EXE
set -euo pipefail
wine_env="$1"; prefix="$2"; test_exe="$3"

disk="$(mktemp -d /tmp/kv-fulldisk.XXXXXX)"
link="$prefix/dosdevices/r:"
cleanup() {
  rm -f "$link"
  umount "$disk" 2>/dev/null || true
  rmdir "$disk"
}
trap cleanup EXIT
if ! mount -t tmpfs -o size=1m tmpfs "$disk" 2>/dev/null; then
  echo "SKIPPED: a tmpfs cannot be mounted here (needs root); the full-disk test did not run"
  exit 77
fi
if [ -e "$link" ]; then echo "drive R: is taken in the test prefix"; exit 1; fi
ln -s "$disk" "$link"

source "$wine_env" "$prefix"
out="$(KV_FULL_DRIVE='R:' wine "$test_exe" --gtest_filter=CopyStep.AFullDiskKeepsTheEarlierFileAndRefusesTheLog \
         </dev/null 2>&1 | tr -d '\r' || true)"
echo "$out"
grep -q '^\[  PASSED  \] 1 test' <<<"$out" || { echo "the test did not pass"; exit 1; }
grep -q '^\[  SKIPPED \]' <<<"$out" && { echo "the test found no drive to fill"; exit 1; }
echo "full disk handled"
