#!/usr/bin/env bash
# Fuzzes the program's untrusted inputs with libFuzzer, one target after the
# other (fuzz/CMakeLists.txt lists them with their seeds).
#   fuzz/run-fuzz.sh [SECONDS [TARGET...]]   (default 600 seconds, every target)
# New inputs collect in build/fuzz-work/<target>; at the end the ones that
# add coverage are merged into the target's seeds (KV_FUZZ_MERGE=0: not),
# which the normal test run replays. A broken property, a crash or a
# timeout ends that target's run with build/fuzz-work/<target>-crash-* (or
# -timeout-*); the script goes on with the next target and fails at the end.
# KV_BUILD_DIR chooses another build tree (default build/fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
shift || true
build="$(realpath -m "${KV_BUILD_DIR:-build/fuzz}")"
work="$PWD/build/fuzz-work"
cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j2 --target fuzz_targets
# The targets' files live on tmpfs, in a folder that goes however the run ends.
scratch="$(mktemp -d /dev/shm/kvfuzz-run.XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
export KV_FUZZ_SCRATCH="$scratch"
status=0
while read -r target seeds; do
  [ $# -eq 0 ] || [[ " $* " == *" $target "* ]] || continue
  echo "=== $target, $seconds s"
  mkdir -p "$work/$target"
  rm -f "$work/$target"-*-*
  "$build/fuzz/$target" -max_total_time="$seconds" -max_len=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$work/$target-" "$work/$target" "$seeds" </dev/null || status=1
  if compgen -G "$work/$target-*-*" >/dev/null; then
    echo "=== $target found:"; ls "$work/$target"-*-*
    status=1
  fi
  if [ "${KV_FUZZ_MERGE:-1}" != 0 ]; then
    "$build/fuzz/$target" -merge=1 -max_len=2048 "$seeds" "$work/$target" </dev/null
  fi
done <"$build/fuzz/targets.txt"
exit $status
