#!/usr/bin/env bash
# Decoding throughput of hzpack expand (the program's own Expand) against
# lhasa decoding the very same LZHUF streams as "-lh1-" archive members.
#   bench/run-lhasa-compare.sh [RUNS]      (default 7, at least 5)
# Builds hzpack and bench_lzh (preset native, Release) in build/bench, makes
# two 32 MiB corpora on tmpfs (concatenated shared libraries; concatenated C
# headers), packs them, wraps each stream in a level-0 LHA header, and times
# both decoders alternately: hzpack expand to a tmpfs file, lhasa to
# /dev/null. Prints medians, MiB/s and the ratio; then the Google Benchmark
# figures for in-memory decoding against whole-file Expand.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-7}"
build="${KV_BUILD_DIR:-build/bench}"
size=$((32 * 1024 * 1024))

command -v lhasa >/dev/null || { echo "lhasa is missing (Debian package lhasa)" >&2; exit 1; }
cmake --preset native -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target hzpack bench_lzh >/dev/null
hzpack="$PWD/$build/tools/hzpack/hzpack"

scratch=/dev/shm
[ -d "$scratch" ] || scratch="${TMPDIR:-/tmp}"
work="$(mktemp -d "$scratch/kvbench.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# First 32 MiB of a sorted file list, concatenated (head ends cat early).
corpus() {
  set +o pipefail
  find "$@" -type f -print0 2>/dev/null | LC_ALL=C sort -z | xargs -0 cat 2>/dev/null | head -c "$size"
  set -o pipefail
}
libdir="/usr/lib/$(gcc -print-multiarch 2>/dev/null || echo x86_64-linux-gnu)"
corpus "$libdir" -maxdepth 1 -name '*.so*' >"$work/binary"
corpus /usr/include -name '*.h' >"$work/text"

now() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END{print a[int((NR+1)/2)]}'; }

for name in binary text; do
  [ "$(stat -c %s "$work/$name")" -eq "$size" ] || { echo "corpus $name is short of 32 MiB" >&2; exit 1; }
  "$hzpack" pack "$work/$name" "$work/$name.hz" >/dev/null 2>&1
  python3 bench/lha_wrap.py "$work/$name.hz" "$work/$name" "$work/$name.lzh"
  # Both decoders must produce the original before their times count.
  "$hzpack" expand "$work/$name.hz" "$work/$name.out"
  cmp -s "$work/$name" "$work/$name.out" || { echo "hzpack expand differs on $name" >&2; exit 1; }
  lhasa pq "$work/$name.lzh" | cmp -s "$work/$name" - || { echo "lhasa differs on $name" >&2; exit 1; }

  : >"$work/t.hz"; : >"$work/t.lhasa"
  for _ in $(seq "$runs"); do
    t0=$(now); "$hzpack" expand "$work/$name.hz" "$work/$name.out"; t1=$(now)
    lhasa pq "$work/$name.lzh" >/dev/null; t2=$(now)
    echo $((t1 - t0)) >>"$work/t.hz"; echo $((t2 - t1)) >>"$work/t.lhasa"
  done
  hz=$(median <"$work/t.hz"); lh=$(median <"$work/t.lhasa")
  packed=$(stat -c %s "$work/$name.hz")
  awk -v n="$name" -v hz="$hz" -v lh="$lh" -v s="$size" -v p="$packed" -v r="$runs" 'BEGIN {
    printf "%-7s packed to %5.1f %%   median of %d: hzpack expand %7.1f MiB/s   lhasa %7.1f MiB/s   ratio %.2f\n",
      n, 100 * p / s, r, s / 1048576 / (hz / 1e9), s / 1048576 / (lh / 1e9), lh / hz }'
done

echo
echo "Google Benchmark (in memory, plain callbacks, whole-file Expand):"
KV_BENCH_CORPUS="$work/binary:$work/text" "$build/bench/bench_lzh" \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median/ { split($1, k, "/"); gsub(/"/, "", k[1]); gsub(/_median"?/, "", k[2]);
                       mibs[k[1] "/" k[2]] = $6 / 1048576; printf "  %-22s %-7s %7.1f MiB/s\n", k[1], k[2], $6 / 1048576 }
    END { for (c in mibs) if (c ~ /^Expand/) { split(c, k, "/");
            printf "  file work around the decoder (%s): %.1f %% of Expand time\n", k[2], 100 * (1 - mibs[c] / mibs["InMemory/" k[2]]) } }'
