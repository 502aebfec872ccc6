#!/usr/bin/env bash
# How the install run grows with the number of files, under Wine.
#   bench/run-install-scale.sh [RUNS] [COUNT...]   (default 5; 1000 3000 10000)
#   KV_BENCH_WARMUP=0 bench/run-install-scale.sh 1    (no round not counted)
#   KV_BENCH_BEFORE=DIR bench/run-install-scale.sh    (also an earlier build)
# For each COUNT, run-nsis-compare.sh with a tree of COUNT files of the same
# mix (70 KB a file on average) times SETUP.EXE /s and, side by side, the
# log alone (the install log's profile writes, which rewrite the file at
# every write and so grow faster than the files); up to 3,000 files also the
# NSIS installer of the same tree; with 1,000 files also the uninstall's
# deletion, by the benchmark build without the pause after each file. Prints
# each count's figures and then one line per count: seconds per file of the
# install without its timers, of the log alone, the log's share of the
# install, the install against NSIS, and of the deletion; with
# KV_BENCH_BEFORE (see run-nsis-compare.sh) a second line of the earlier
# build's install and log alone.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
shift || true
counts=("${@:-1000 3000 10000}")
counts=(${counts[*]})
summary=()
for count in "${counts[@]}"; do
  kinds="setup log"
  [ "$count" -gt 3000 ] || kinds="$kinds nsis"
  [ "$count" -ne 1000 ] || kinds="$kinds uninstall"
  out="$(KV_BENCH_FILES="$count" KV_BENCH_KINDS="$kinds" KV_BENCH_DIR="build/bench-scale-$count" \
         bench/run-nsis-compare.sh "$runs")"
  echo "$out"
  setup=$(awk '$1 == "SETUP.EXE" && $2 == "/s" {print $4}' <<<"$out")
  log=$(awk '$1 == "floor:" && $2 == "log" {print $5}' <<<"$out")
  deletion=$(awk '$1 == "uninstall," {print $6}' <<<"$out")
  nsis=$(awk '$1 == "NSIS" && $2 == "/S" {print $4}' <<<"$out")
  line() {  # COUNT LABEL SETUP LOG NSIS DELETION
    awk -v n="$1" -v what="$2" -v s="$3" -v l="$4" -v m="$5" -v d="$6" 'BEGIN {
      printf "  %6d files %-7s SETUP.EXE /s without the timers %7.2f ms/file   log alone %7.2f ms/file (%.0f %%)",
             n, what, 1000 * (s - 2.2) / n, 1000 * l / n, 100 * l / (s - 2.2)
      if (m > 0) printf "   %.2fx NSIS", (s - 2.2) / m
      if (d > 0) printf "   uninstall without pauses, deletion %7.2f ms/file", 1000 * d / n }'
  }
  summary+=("$(line "$count" "" "$setup" "$log" "${nsis:-0}" "${deletion:-0}")")
  if [ -n "${KV_BENCH_BEFORE:-}" ]; then
    setup=$(awk '$1 == "SETUP.EXE" && $3 == "before" {print $5}' <<<"$out")
    log=$(awk '$1 == "floor:" && $4 == "before" {print $6}' <<<"$out")
    summary+=("$(line "$count" before "$setup" "$log" "${nsis:-0}" 0)")
  fi
  rm -rf "build/bench-scale-$count"
done
echo "seconds per file by count (medians of $runs rounds each):"
printf '%s\n' "${summary[@]}"
