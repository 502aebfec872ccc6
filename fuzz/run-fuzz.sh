#!/usr/bin/env bash
# Fuzzes the compressed-file container and the LZH decoder with libFuzzer.
#   fuzz/run-fuzz.sh [SECONDS]     (default 600)
# New inputs collect in build/fuzz-work/corpus; at the end the ones that add
# coverage are merged into the regression corpus tests/decompress/corpus,
# which the normal test run replays. A crash leaves crash-* in build/fuzz-work.
# KV_BUILD_DIR chooses another build tree (default build/fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
build="${KV_BUILD_DIR:-build/fuzz}"
work=build/fuzz-work
cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j2 --target fuzz_expand
mkdir -p "$work/corpus"
# The target's files live on tmpfs, in a folder that goes however the run ends.
scratch="$(mktemp -d /dev/shm/kvfuzz-run.XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
export KV_FUZZ_SCRATCH="$scratch"
cd "$work"
../../"$build"/fuzz/fuzz_expand -max_total_time="$seconds" -max_len=2048 -timeout=10 \
  -print_final_stats=1 corpus ../../tests/decompress/corpus
../../"$build"/fuzz/fuzz_expand -merge=1 -max_len=2048 ../../tests/decompress/corpus corpus
