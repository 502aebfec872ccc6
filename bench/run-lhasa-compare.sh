#!/usr/bin/env bash
# Decoding throughput of hzpack expand (the program's own Expand), native and
# as the Win32 build under Wine, against lhasa decoding the very same LZHUF
# streams as "-lh1-" archive members.
#   bench/run-lhasa-compare.sh [RUNS]      (default 7, at least 5)
# Builds hzpack and bench_lzh natively (preset native, Release) in
# build/bench, and hzpack.exe as SETUP.EXE is built (preset win32) in
# build/bench-win32 with a Wine prefix of its own and a persistent
# wineserver; makes two 32 MiB corpora on tmpfs (concatenated shared
# libraries; concatenated C headers), packs them, wraps each stream in a
# level-0 LHA header, checks that all three decoders reproduce the original,
# and times them alternately: hzpack expand to a tmpfs file, natively and
# under Wine, and lhasa to /dev/null. Prints medians, MiB/s and the ratios to
# lhasa; then the Google Benchmark figures for in-memory decoding against
# whole-file Expand (native).
# KV_HZPACK_BEFORE and KV_HZPACK_EXE_BEFORE name an earlier hzpack and
# hzpack.exe to time alternately with these, for a before-and-after
# comparison under the same load.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-7}"
build="${KV_BUILD_DIR:-build/bench}"
win32_build="${KV_WIN32_BUILD_DIR:-build/bench-win32}"
size=$((32 * 1024 * 1024))

command -v lhasa >/dev/null || { echo "lhasa is missing (Debian package lhasa)" >&2; exit 1; }
cmake --preset native -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target hzpack bench_lzh >/dev/null
cmake --preset win32 -B "$win32_build" >/dev/null
cmake --build "$win32_build" -j2 --target hzpack >/dev/null
hzpack="$PWD/$build/tools/hzpack/hzpack"
hzpack_exe="$PWD/$win32_build/tools/hzpack/hzpack.exe"
prefix="$PWD/$win32_build/wineprefix"

scratch=/dev/shm
[ -d "$scratch" ] || scratch="${TMPDIR:-/tmp}"
work="$(mktemp -d "$scratch/kvbench.XXXXXX")"
trap 'scripts/wine-prefix.sh stop "$prefix"; rm -rf "$work"' EXIT
scripts/wine-prefix.sh setup "$prefix" >/dev/null
scripts/wine-prefix.sh stop "$prefix"  # a wineserver left by an earlier run
scripts/wine-prefix.sh start "$prefix"
# Relative names: Wine sees the working directory as its own (drive Z:).
hzpack_wine() { (source scripts/wine-env.sh "$prefix" && cd "$work" && wine "$hzpack_exe" "$@"); }
before="${KV_HZPACK_BEFORE:-}"
before_exe="${KV_HZPACK_EXE_BEFORE:-}"
if [ -n "$before_exe" ]; then cp "$before_exe" "$work/before.exe"; fi
before_wine() { (source scripts/wine-env.sh "$prefix" && cd "$work" && wine before.exe "$@"); }

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
  # Every decoder must produce the original before its times count.
  "$hzpack" expand "$work/$name.hz" "$work/$name.out"
  cmp -s "$work/$name" "$work/$name.out" || { echo "hzpack expand differs on $name" >&2; exit 1; }
  hzpack_wine expand "$name.hz" "$name.out"
  cmp -s "$work/$name" "$work/$name.out" || { echo "hzpack.exe expand differs on $name" >&2; exit 1; }
  lhasa pq "$work/$name.lzh" | cmp -s "$work/$name" - || { echo "lhasa differs on $name" >&2; exit 1; }

  : >"$work/t.native"; : >"$work/t.win32"; : >"$work/t.lhasa"; : >"$work/t.native-before"; : >"$work/t.win32-before"
  timed() { local into=$1 t0; shift; t0=$(now); "$@"; echo $(($(now) - t0)) >>"$work/t.$into"; }
  for _ in $(seq "$runs"); do
    timed native "$hzpack" expand "$work/$name.hz" "$work/$name.out"
    timed win32 hzpack_wine expand "$name.hz" "$name.out"
    timed lhasa lhasa pq "$work/$name.lzh" >/dev/null
    if [ -n "$before" ]; then timed native-before "$before" expand "$work/$name.hz" "$work/$name.out"; fi
    if [ -n "$before_exe" ]; then timed win32-before before_wine expand "$name.hz" "$name.out"; fi
  done
  native=$(median <"$work/t.native"); win32=$(median <"$work/t.win32"); lh=$(median <"$work/t.lhasa")
  packed=$(stat -c %s "$work/$name.hz")
  awk -v n="$name" -v a="$native" -v w="$win32" -v lh="$lh" -v s="$size" -v p="$packed" -v r="$runs" 'BEGIN {
    mib = s / 1048576
    printf "%-7s packed to %5.1f %%, median of %d:  native %6.1f MiB/s (%.2fx)   Win32 under Wine %6.1f MiB/s (%.2fx)   lhasa %6.1f MiB/s\n",
      n, 100 * p / s, r, mib / (a / 1e9), lh / a, mib / (w / 1e9), lh / w, mib / (lh / 1e9) }'
  for which in native-before win32-before; do
    [ -s "$work/t.$which" ] || continue
    awk -v n="$name" -v w="$which" -v t="$(median <"$work/t.$which")" -v lh="$lh" -v s="$size" 'BEGIN {
      printf "%-7s %s %6.1f MiB/s (%.2fx)\n", n, w, s / 1048576 / (t / 1e9), lh / t }'
  done
done

echo
echo "Google Benchmark (native; in memory, plain callbacks, whole-file Expand):"
KV_BENCH_CORPUS="$work/binary:$work/text" "$build/bench/bench_lzh" \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median/ { split($1, k, "/"); gsub(/"/, "", k[1]); gsub(/_median"?/, "", k[2]);
                       mibs[k[1] "/" k[2]] = $6 / 1048576; printf "  %-22s %-7s %7.1f MiB/s\n", k[1], k[2], $6 / 1048576 }
    END { for (c in mibs) if (c ~ /^Expand/) { split(c, k, "/");
            printf "  file work around the decoder (%s): %.1f %% of Expand time\n", k[2], 100 * (1 - mibs[c] / mibs["InMemory/" k[2]]) } }'
