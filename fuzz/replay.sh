#!/usr/bin/env bash
# The test run's fuzz step: runs a target once on each file of its seed
# folders, in name order, without mutating any: the same inputs every time,
# seconds long even on a loaded machine. Nothing is written into the tree:
# what the target writes, and what libFuzzer leaves on a failure, goes to a
# folder that is removed at the end. A failing input is named in the output
# ("Running: FILE"); only a broken property, a crash or a sanitizer's report
# fails the run.
#   replay.sh TARGET SEED_DIR...
set -euo pipefail
target="$(realpath "$1")"; shift
scratch="$(mktemp -d /dev/shm/kvfuzz-replay.XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
export KV_FUZZ_SCRATCH="$scratch"
mapfile -t seeds < <(realpath "$@")
mapfile -t inputs < <(find "${seeds[@]}" -type f | LC_ALL=C sort)
if [ ${#inputs[@]} -eq 0 ]; then
  echo "no inputs in $*"
  exit 1
fi
cd "$scratch"
"$target" -artifact_prefix="$scratch/" "${inputs[@]}" </dev/null
