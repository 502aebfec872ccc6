#!/usr/bin/env bash
# Builds SETUP.EXE and starts it beside the sample medium (samples/medium)
# under Wine, in a private prefix under build/run.
#   With a display: shows the shell window until it is closed.
#   Without one:    runs under Xvfb and saves a screenshot, by default
#                   build/run/setup.png (or the path given as $1).
# Arguments after the optional screenshot path go to SETUP.EXE (e.g. /s).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Setup uidriver

run="$root/build/run"
prefix="$run/wineprefix"
shot="$run/setup.png"
if [ $# -gt 0 ] && [[ "$1" == *.png ]]; then shot="$(realpath -m "$1")"; shift; fi

scripts/wine-prefix.sh setup "$prefix"
medium="$prefix/drive_c/Demo"
rm -rf "$medium"
mkdir -p "$medium"
cp samples/medium/* build/win32/startup/SETUP.EXE "$medium/"
cp build/win32/tools/uidriver/uidriver.exe "$prefix/drive_c/"
echo "medium: $medium (C:\\Demo in Wine)"

if [ -n "${DISPLAY:-}" ]; then
  source scripts/wine-env.sh "$prefix"
  wine 'C:\Demo\SETUP.EXE' "$@"
  exit $?
fi

export shot prefix root
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -u
  "$root/scripts/wine-prefix.sh" start "$prefix"
  source "$root/scripts/wine-env.sh" "$prefix"
  wine "C:\\Demo\\SETUP.EXE" "$@" </dev/null >/dev/null 2>&1 &
  status=1
  if wine "C:\\uidriver.exe" wait Tf_Aktion 30; then
    sleep 1  # let it paint
    wine "C:\\uidriver.exe" shot "C:\\setup.png" && status=0
  fi
  "$root/scripts/wine-prefix.sh" stop "$prefix"
  exit $status
' _ "$@"
mkdir -p "$(dirname "$shot")"
convert "$prefix/drive_c/setup.png" -strip "$shot"  # recompressed: the driver stores pixels uncompressed
echo "screenshot: $shot"
