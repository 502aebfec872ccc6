#!/usr/bin/env bash
# The whole install run against NSIS and against its floor, under Wine.
#   bench/run-nsis-compare.sh [RUNS]      (default 5)
#   KV_BENCH_FILES=3000 KV_BENCH_KINDS="setup log" bench/run-nsis-compare.sh 5
# Builds SETUP.EXE, the packer and install_floor (preset win32), writes a tree
# of 1,000 files (about 70 MB, bench/make_install_tree.py; KV_BENCH_FILES
# others of the same mix, KV_BENCH_FILE_BYTES another average size,
# KV_BENCH_PER_FOLDER the files a folder holds, 0 for a flat tree), and makes from it a medium (each
# file packed with hzpack, Setup.lst listing them all in [programfiles]) and
# an NSIS installer (makensis, its default zlib compression) that does the
# same work: the files, an uninstaller, the uninstall entry, a program group
# with one shortcut. Then times, alternating, in RUNS rounds after one round
# not counted: SETUP.EXE /s, SETUP.EXE /s on the same files unpacked (what
# the expansion costs), the NSIS installer's /S and the three parts of the
# floor: Wine's xcopy of the tree, a decode-only pass over every packed file
# with the program's own decoder into memory, and the log alone, the profile
# writes of an install run (both install_floor.exe), less the process starts
# beyond one (install_floor doing nothing); "uninstall" the deletion of the
# files by the benchmark build's uninstaller, driven through its windows, and
# "silent" the whole run of Uninstal.exe /s, "nsis-uninstall" NSIS's
# uninstaller of the same files run in place (/S _?=); "deploy" SETUP.EXE /s
# with all four deployment switches (/DIR, /ALLUSERS, /LOG,
# /SUPPRESSMSGBOXES) and "quiet" the removal of such an install through cmd
# as the entry's QuietUninstallString has it, with /LOG. KV_BENCH_KINDS picks
# some of them. KV_BENCH_BEFORE names the Win32 build tree of an earlier
# revision: its SETUP.EXE /s and its log alone ("setup-before",
# "log-before") are then timed in the same rounds, and with "silent" its
# Uninstal.exe /s ("silent-before"), for a before-and-after comparison under
# the same load. Each run gets a fresh prefix (a copy of a template) with its
# wineserver and services already started, and each install is compared with
# the tree file by file before its time counts.
# Prints the medians of the wall time and of the process's CPU time and the
# seconds per file; SETUP.EXE also without the 2.2 s its automatic mode waits
# on its two timers (200 ms start, 2000 ms automation), against NSIS and
# against the floor (the sum of its three parts). Figures:
# docs/install-speed.md.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
runs="${1:-5}"
files="${KV_BENCH_FILES:-1000}"
kinds=(${KV_BENCH_KINDS:-setup plain nsis xcopy decode log start})
before="${KV_BENCH_BEFORE:+$(cd "$KV_BENCH_BEFORE" && pwd)}"
if [ -n "$before" ]; then
  kinds+=(setup-before log-before)
  [[ " ${kinds[*]} " != *" silent "* ]] || kinds+=(silent-before)
fi
work="$root/${KV_BENCH_DIR:-build/bench-install}"
libdir="/usr/lib/$(gcc -print-multiarch 2>/dev/null || echo x86_64-linux-gnu)"

if [ "${1:-}" != "--inside-display" ]; then
  command -v makensis >/dev/null || { echo "makensis is missing (Debian package nsis)" >&2; exit 1; }
  cmake --preset win32 >/dev/null
  cmake --build --preset win32 --target Setup host_hzpack install_floor SetupNoPauses uninstall_driver >/dev/null
  hzpack="$root/build/win32/host-tools/tools/hzpack/hzpack"

  rm -rf "$work/tree" "$work/medium" "$work/plain"
  mkdir -p "$work"
  python3 bench/make_install_tree.py "$work/tree" "$libdir" "$files" "${KV_BENCH_FILE_BYTES:-70000}" \
    "${KV_BENCH_PER_FOLDER:-100}" >"$work/files.txt"
  echo "tree: $(wc -l <"$work/files.txt") files, $(find "$work/tree" -type f -printf '%s\n' |
        awk '{s += $1} END {printf "%.1f MB", s / 1e6}')"

  # make_medium DIR NAMES: SETUP.EXE with the agreement text and a list of the
  # NAMES (one a line, "/" separated) into DIR, which holds the files.
  make_medium() {
    {
      printf '%s\r\n' '[General]' 'Name=Bench' 'defaultPath=C:\Bench' '[StartMenu]' 'Folder=KvBench' \
                      '[Group]' 'Name=Bench' '[programfiles]'
      tr / '\\' <"$2" | awk '{printf "%d=%s\r\n", NR, $0}'
      printf '%s\r\n' '[Windows]' '[SystemDepended]' '[Items]' "$(head -n 1 "$work/files.txt")=Bench"
    } >"$1/Setup.lst"
    cp samples/medium/Vertrag.Txt build/win32/startup/SETUP.EXE "$1/"
  }
  # The medium: every file packed under the name that maps back to it.
  sed 's/.$/_/' "$work/files.txt" >"$work/packed.txt"
  mkdir -p "$work/medium"
  (cd "$work/tree" && find . -mindepth 1 -type d -exec mkdir -p "$work/medium/{}" \;)
  paste -d ' ' "$work/files.txt" "$work/packed.txt" |
    (cd "$work/tree" && xargs -P 2 -n 2 sh -c '"$0" pack "$2" "$1/$3" >/dev/null' "$hzpack" "$work/medium")
  make_medium "$work/medium" "$work/packed.txt"
  echo "medium: $(du -sb "$work/medium" | awk '{printf "%.1f MB", $1 / 1e6}') packed"
  # install_floor's lists: the packed files by their Windows paths, and the
  # medium's names as Setup.lst lists them.
  sed "s|^|Z:$work/medium/|; s|/|\\\\|g" "$work/packed.txt" >"$work/decode.lst"
  tr / '\\' <"$work/packed.txt" >"$work/log.lst"
  # The uninstall's medium: the same, with the benchmark build whose
  # uninstaller does not pause after each file.
  if [[ " ${kinds[*]} " == *" uninstall "* ]]; then
    rm -rf "$work/nopauses"
    cp -al "$work/medium" "$work/nopauses"
    rm "$work/nopauses/SETUP.EXE"
    cp build/win32/bench/SETUPNP.EXE "$work/nopauses/SETUP.EXE"
  fi
  if [ -n "$before" ]; then
    rm -rf "$work/before"
    cp -al "$work/medium" "$work/before"
    rm "$work/before/SETUP.EXE"
    cp "$before/startup/SETUP.EXE" "$work/before/"
  fi
  # The same files unpacked: what SETUP.EXE takes without expanding.
  if [[ " ${kinds[*]} " == *" plain "* ]]; then
    cp -r "$work/tree" "$work/plain"
    make_medium "$work/plain" "$work/files.txt"
  fi

  cat >"$work/bench.nsi" <<NSI
Name "Bench"
OutFile "$work/nsis-setup.exe"
InstallDir "C:\\Bench"
RequestExecutionLevel admin
Page directory
Page instfiles
Section
  SetOutPath "\$INSTDIR"
  File /r "$work/tree/*"
  WriteUninstaller "\$INSTDIR\\Uninstall.exe"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KvBench" "DisplayName" "Bench"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KvBench" "UninstallString" "\$INSTDIR\\Uninstall.exe"
  CreateDirectory "\$SMPROGRAMS\\Bench"
  CreateShortcut "\$SMPROGRAMS\\Bench\\Bench.lnk" "\$INSTDIR\\$(head -n 1 "$work/files.txt")"
SectionEnd
Section "Uninstall"
  RMDir /r "\$INSTDIR"
SectionEnd
NSI
  if [[ " ${kinds[*]} " == *" nsis"* ]]; then
    makensis -V1 "$work/bench.nsi"
    echo "NSIS installer: $(stat -c %s "$work/nsis-setup.exe" | awk '{printf "%.1f MB", $1 / 1e6}')"
  fi

  scripts/wine-prefix.sh setup "$work/template"
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside-display "$runs" "$before"
fi

runs="$2"
before="$3"
floor="$root/build/win32/bench/install_floor.exe"
median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

# run_one KIND: one install in a fresh prefix. Its wall time and the CPU time
# of the installer's process (user + system, seconds) are appended to
# $work/t.KIND once the installed tree matches the original.
deploy=(/s '/DIR=C:\Bench' /ALLUSERS '/LOG=C:\deploy.log' /SUPPRESSMSGBOXES)
run_one() {
  local kind="$1" prefix="$work/prefix" rc=0
  scripts/wine-prefix.sh copy "$work/template" "$prefix"
  scripts/wine-prefix.sh start "$prefix"
  (
    source scripts/wine-env.sh "$prefix"
    case "$kind" in
      setup) cmd=(wine "$work/medium/SETUP.EXE" /s) ;;
      deploy) cmd=(wine "$work/medium/SETUP.EXE" "${deploy[@]}") ;;
      quiet) cmd=(wine cmd /c 'C:\Bench\Uninstal.exe' /s '/LOG=C:\removal.log') ;;
      setup-before) cmd=(wine "$work/before/SETUP.EXE" /s) ;;
      plain) cmd=(wine "$work/plain/SETUP.EXE" /s) ;;
      nsis)  cmd=(wine "$work/nsis-setup.exe" /S) ;;
      xcopy) cmd=(wine cmd /c xcopy /e /i /q /y "Z:${work//\//\\}\\tree" 'C:\Bench') ;;
      decode) cmd=(wine "$floor" decode "Z:${work//\//\\}\\decode.lst") ;;
      log) cmd=(wine "$floor" log 'C:\Bench' "Z:${work//\//\\}\\log.lst") ;;
      log-before) cmd=(wine "$before/bench/install_floor.exe" log 'C:\Bench' "Z:${work//\//\\}\\log.lst") ;;
      start) cmd=(wine "$floor" decode NUL) ;;
      uninstall) cmd=(wine "$root/build/win32/bench/uninstall_driver.exe" 'C:\Bench\Uninstal.exe') ;;
      silent | silent-before) cmd=(wine 'C:\Bench\Uninstal.exe' /s) ;;
      nsis-uninstall) cmd=(wine 'C:\Bench\Uninstall.exe' /S '_?=C:\Bench') ;;
    esac
    TIMEFORMAT="%3R %3U %3S"
    # The uninstalls' installs are not timed.
    case "$kind" in
      uninstall) wine "$work/nopauses/SETUP.EXE" /s </dev/null >/dev/null 2>&1 || rc=$? ;;
      silent) wine "$work/medium/SETUP.EXE" /s </dev/null >/dev/null 2>&1 || rc=$? ;;
      quiet) wine "$work/medium/SETUP.EXE" "${deploy[@]}" </dev/null >/dev/null 2>&1 || rc=$? ;;
      silent-before) wine "$work/before/SETUP.EXE" /s </dev/null >/dev/null 2>&1 || rc=$? ;;
      nsis-uninstall) wine "$work/nsis-setup.exe" /S </dev/null >/dev/null 2>&1 || rc=$? ;;
    esac
    [ "$rc" -eq 0 ] || { echo "$kind: the install's exit code $rc" >&2; exit 1; }
    if [ "$kind" = uninstall ]; then
      # The driver times the deletion of the files alone.
      "${cmd[@]}" </dev/null 2>/dev/null | tr -d '\r' | awk '/^[0-9]+$/ {print $1 / 1000, 0, 0}' >"$work/time" || rc=$?
    else
      { time "${cmd[@]}" </dev/null >/dev/null 2>&1 || rc=$?; } 2>"$work/time"
    fi
    [ "$rc" -eq 0 ] || { echo "$kind: exit code $rc" >&2; exit 1; }
    # An installer that returned before its end has not written what it
    # writes last: SETUP.EXE its uninstaller (the log follows it with the
    # registration), NSIS its uninstaller after the files.
    case "$kind" in
      setup | setup-before | plain | deploy) last=(Uninstal.exe INSTALL1.LOG) ;;
      nsis)  last=(Uninstall.exe) ;;
      *) last=() ;;
    esac
    for file in "${last[@]}"; do
      [ -s "$prefix/drive_c/Bench/$file" ] || { echo "$kind: returned without $file" >&2; exit 1; }
    done
    case "$kind" in
      decode | start) ;;
      uninstall | nsis-uninstall)
        if [ -e "$prefix/drive_c/Bench/$(head -n 1 "$work/files.txt")" ]; then
          echo "uninstall: an installed file is left" >&2; exit 1
        fi ;;
      silent | silent-before | quiet)
        # The self-removal script takes the directory once the uninstaller has ended.
        for _ in $(seq 50); do [ -e "$prefix/drive_c/Bench" ] || break; sleep 0.1; done
        [ ! -e "$prefix/drive_c/Bench" ] || { echo "silent: the directory is left" >&2; exit 1; } ;;
      log | log-before)
        entries=$(grep -c '^File' "$prefix/drive_c/Bench/INSTALL1.LOG")
        [ "$entries" -eq $((files + 1)) ] || { echo "log: $entries entries for $files files" >&2; exit 1; } ;;
      *)
        # What the installers add beside the files is left out of the comparison.
        diff -r -q -x Uninstal.exe -x INSTALL1.LOG -x Uninstall.exe "$work/tree" "$prefix/drive_c/Bench" >&2 ||
          { echo "$kind: the installed tree differs" >&2; exit 1; } ;;
    esac
    awk '{print $1, $2 + $3}' "$work/time" >>"$work/t.$kind"
  ) || rc=$?
  scripts/wine-prefix.sh stop "$prefix"
  rm -rf "$prefix"
  return $rc
}

load="$(cut -d ' ' -f 1-3 /proc/loadavg)"
# A round not counted first, unless KV_BENCH_WARMUP=0 (the large trees).
for kind in "${kinds[@]}"; do
  [ "${KV_BENCH_WARMUP:-1}" = 0 ] || run_one "$kind"
  : >"$work/t.$kind"
done
for round in $(seq "$runs"); do
  # Every other round in reverse order, so no one always follows the same.
  if [ $((round % 2)) -eq 1 ]; then order=("${kinds[@]}"); else order=($(printf '%s\n' "${kinds[@]}" | tac)); fi
  for kind in "${order[@]}"; do run_one "$kind"; done
done

echo "$files files; median of $runs runs each, alternating, each in a fresh prefix, every file compared"
echo "(load average $load at the start, $(cut -d ' ' -f 1-3 /proc/loadavg) at the end)"
declare -A wall
for kind in "${kinds[@]}"; do wall[$kind]=$(cut -d ' ' -f 1 "$work/t.$kind" | median); done
have() { [[ " ${kinds[*]} " == *" $1 "* ]]; }
floor=0
if have xcopy && have decode && have log && have start; then
  # One process start, as the installers have, not four (xcopy's cmd, its
  # xcopy and the two of install_floor).
  floor=$(awk -v a="${wall[xcopy]}" -v b="${wall[decode]}" -v c="${wall[log]}" -v s="${wall[start]}" \
              'BEGIN {print a + b + c - 3 * s}')
fi
nsis=0
have nsis && nsis=${wall[nsis]}
for kind in "${kinds[@]}"; do
  cpu=$(cut -d ' ' -f 2 "$work/t.$kind" | median)
  range=$(cut -d ' ' -f 1 "$work/t.$kind" | sort -n | sed -n '1p;$p' | paste -sd ' ')
  awk -v k="$kind" -v w="${wall[$kind]}" -v c="$cpu" -v n="$nsis" -v f="$floor" -v r="$range" -v files="$files" 'BEGIN {
    name["setup"] = "SETUP.EXE /s"; name["plain"] = "SETUP.EXE /s, files unpacked"
    name["nsis"] = "NSIS /S"; name["xcopy"] = "floor: xcopy"
    name["decode"] = "floor: decode only"; name["log"] = "floor: log alone"
    name["start"] = "a process start"; name["uninstall"] = "uninstall, its deletion alone"
    name["silent"] = "Uninstal.exe /s"; name["deploy"] = "SETUP.EXE /s and the four switches"
    name["quiet"] = "cmd /c QuietUninstallString /LOG"
    name["setup-before"] = "SETUP.EXE /s, before"; name["log-before"] = "floor: log alone, before"
    name["silent-before"] = "Uninstal.exe /s, before"; name["nsis-uninstall"] = "NSIS uninstaller /S"
    split(r, lim, " ")
    # xcopy runs in a child of cmd, whose time its parent does not collect.
    cpu = k == "xcopy" ? "      -" : sprintf("%5.2f s", c)
    ratios = n > 0 ? sprintf("   %.2fx NSIS", w / n) : ""
    printf "  %-30s wall %6.2f s (%5.2f to %5.2f)   CPU %s   %.2f ms/file%s\n", name[k], w, lim[1], lim[2], cpu,
           1000 * w / files, ratios
    # The automatic mode waits 200 ms before the wizard and 2000 ms before
    # pressing its buttons.
    if (k == "setup" || k == "setup-before" || k == "plain" || k == "deploy") {
      ratios = (n > 0 ? sprintf("   %.2fx NSIS", (w - 2.2) / n) : "") (f > 0 ? sprintf("   %.2fx floor", (w - 2.2) / f) : "")
      printf "  %-30s wall %6.2f s                          %.2f ms/file%s\n", "  without the timers", w - 2.2,
             1000 * (w - 2.2) / files, ratios
    }
  }'
done
if [ "$floor" != 0 ]; then
  awk -v f="$floor" -v n="$nsis" 'BEGIN {
    printf "  %-30s wall %6.2f s%s\n", "floor", f, (n > 0 ? sprintf("   %.2fx NSIS", f / n) : "") }'
fi
# Each round's ratios (its wall, the timers taken off SETUP.EXE's, and its
# CPU): only the rounds of one run, side by side, say how the two compare.
per_round() {  # KIND YARDSTICK KIND'S-TIMERS YARDSTICK'S-TIMERS
  have "$1" && have "$2" || return 0
  paste -d ' ' "$work/t.$1" "$work/t.$2" | awk -v a="$1" -v b="$2" -v ta="$3" -v tb="$4" '
    {w = w sprintf(" %.2f", ($1 - ta) / ($3 - tb)); c = c sprintf(" %.2f", $2 / $4)}
    END {printf "  %s against %s, each round: wall%s   CPU%s\n", a, b, w, c}'
}
per_round setup nsis 2.2 0
per_round setup setup-before 2.2 2.2
per_round silent nsis-uninstall 0 0
per_round silent silent-before 0 0
per_round deploy setup 2.2 2.2
per_round quiet silent 0 0
