#!/usr/bin/env bash
# The copy step and the install log on a full disk, at a run's first file and
# at a later one (every CopyStep.AFullDisk* case): a small tmpfs, linked into
# the test prefix as drive R:, which each case fills. Mounting needs root:
# without it the test is reported as skipped (exit 77); as root (CI) a
# refused mount fails the test, so the cases never go unrun unnoticed.
#   full_disk_test.sh WINE_ENV PREFIX TEST_EXE
set -euo pipefail
disk="$(mktemp -d /tmp/kv-fulldisk.XXXXXX)"
link="$2/dosdevices/r:"
trap 'rm -f "$link"; umount "$disk" 2>/dev/null; rmdir "$disk"' EXIT
if ! mount -t tmpfs -o size=1m tmpfs "$disk"; then
  [ "$(id -u)" -eq 0 ] && { echo "root, and still no tmpfs could be mounted: the full disk was not tested"; exit 1; }
  echo "SKIPPED: no tmpfs can be mounted here (needs root); the full disk was not tested"
  exit 77
fi
ln -s "$disk" "$link"
source "$1" "$2"
out="$(KV_FULL_DRIVE='R:' wine "$3" --gtest_filter=CopyStep.AFullDisk* </dev/null 2>&1 | tr -d '\r' || true)"
echo "$out"
grep -q '^\[  PASSED  \] 2 tests' <<<"$out" && ! grep -q '^\[  SKIPPED \]' <<<"$out"
