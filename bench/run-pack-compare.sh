#!/usr/bin/env bash
# Size and speed of the media packer on the install benchmark's tree.
#   bench/run-pack-compare.sh [RUNS]      (default 5)
#   KV_HZPACK_BEFORE=/path/to/an/older/hzpack bench/run-pack-compare.sh 5
# Builds hzpack natively (preset native, Release) in build/bench, writes the
# tree of bench/make_install_tree.py (1,000 files, about 70 MB) and packs
# every file with its own hzpack process, as a medium is made, one process at
# a time, RUNS rounds; with KV_HZPACK_BEFORE also that packer, alternating,
# every other round first. Each round's output is expanded and compared with
# the tree. Prints the packed total (file sizes, headers included), the
# median CPU time (user + system of the packing processes) and MB/s per core;
# beside it zlib at level 9 per file as NSIS packs (32 KiB window), and zlib
# limited to the 4 KiB window this format has.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
runs="${1:-5}"
build="${KV_BUILD_DIR:-build/bench}"
work="$root/${KV_BENCH_DIR:-build/bench-pack}"
libdir="/usr/lib/$(gcc -print-multiarch 2>/dev/null || echo x86_64-linux-gnu)"

cmake --preset native -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target hzpack >/dev/null
declare -A packer=([after]="$root/$build/tools/hzpack/hzpack")
kinds=(after)
if [ -n "${KV_HZPACK_BEFORE:-}" ]; then
  packer[before]="$(realpath "$KV_HZPACK_BEFORE")"
  kinds=(before after)
fi

rm -rf "$work"
mkdir -p "$work"
python3 bench/make_install_tree.py "$work/tree" "$libdir" >"$work/files.txt"
bytes=$(cd "$work/tree" && xargs stat -c %s <"$work/files.txt" | awk '{s += $1} END {print s}')
echo "tree: $(wc -l <"$work/files.txt") files, $(awk -v b="$bytes" 'BEGIN {printf "%.2f MB", b / 1e6}')"

# pack_all KIND: packs the tree into $work/KIND, appends the CPU seconds to
# $work/t.KIND and the packed total to $work/s.KIND, checks every file.
pack_all() {
  local kind="$1" out="$work/$1"
  rm -rf "$out"
  (cd "$work/tree" && find . -mindepth 1 -type d -exec mkdir -p "$out/{}" \;)
  TIMEFORMAT="%3U %3S"
  { time (cd "$work/tree" && while read -r f; do "${packer[$kind]}" pack "$f" "$out/${f%?}_" >/dev/null; done \
          <"$work/files.txt"); } 2>"$work/time"
  awk '{print $1 + $2}' "$work/time" >>"$work/t.$kind"
  (cd "$out" && find . -type f -printf '%s\n' | awk '{s += $1} END {print s}') >>"$work/s.$kind"
  while read -r f; do
    "${packer[after]}" expand "$out/${f%?}_" "$work/check" >/dev/null
    cmp -s "$work/check" "$work/tree/$f" || { echo "$kind: $f does not expand to its original" >&2; exit 1; }
  done <"$work/files.txt"
}

load="$(cut -d ' ' -f 1-3 /proc/loadavg)"
for kind in "${kinds[@]}"; do : >"$work/t.$kind"; : >"$work/s.$kind"; done
for round in $(seq "$runs"); do
  if [ $((round % 2)) -eq 1 ]; then order=("${kinds[@]}"); else order=($(printf '%s\n' "${kinds[@]}" | tac)); fi
  for kind in "${order[@]}"; do pack_all "$kind"; done
done

zlib=$(python3 - "$work" <<'PY'
import sys, zlib
work = sys.argv[1]
total = {15: 0, 12: 0}
for name in open(f"{work}/files.txt").read().split():
    data = open(f"{work}/tree/{name}", "rb").read()
    for bits in total:
        z = zlib.compressobj(9, zlib.DEFLATED, bits, 9)
        total[bits] += len(z.compress(data) + z.flush())
print(total[15], total[12])
PY
)
median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
echo "median of $runs rounds, alternating, one process per file, every file compared"
echo "(load average $load at the start, $(cut -d ' ' -f 1-3 /proc/loadavg) at the end)"
read -r z15 z12 <<<"$zlib"
for kind in "${kinds[@]}"; do
  size=$(tail -n 1 "$work/s.$kind")
  cpu=$(median <"$work/t.$kind")
  awk -v k="$kind" -v s="$size" -v c="$cpu" -v b="$bytes" -v z="$z15" 'BEGIN {
    printf "  hzpack %-7s %8.2f MB  %.3fx zlib   CPU %6.2f s   %5.2f MB/s per core\n", k, s / 1e6, s / z, c, b / 1e6 / c }'
done
awk -v z="$z15" -v y="$z12" 'BEGIN {
  printf "  zlib -9        %8.2f MB  (32 KiB window, as NSIS packs each file)\n", z / 1e6
  printf "  zlib -9, 4 KiB %8.2f MB  %.3fx zlib   (the window this format has)\n", y / 1e6, y / z }'
