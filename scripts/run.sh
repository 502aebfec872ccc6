#!/usr/bin/env bash
# Builds SETUP.EXE and the sample medium (build/win32/medium) and installs it
# under Wine, in a fresh private prefix (build/run/wineprefix, a copy of the
# ready template build/run/template):
#   With a display: the wizard is walked by hand.
#   Without one:    the automatic mode ("/s") installs it under Xvfb; given a
#                   PNG path, the installed program is started and a
#                   screenshot of its window saved there.
# Then prints the install directory, the exit code and the install log, and
# exits with SETUP.EXE's exit code.
#   scripts/run.sh [SHOT.png]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target medium uidriver setup_beside_packers

run="$root/build/run"
prefix="$run/wineprefix"
shot=""
if [ $# -gt 0 ]; then shot="$(realpath -m "$1")"; fi
scripts/wine-prefix.sh setup "$run/template"
scripts/wine-prefix.sh copy "$run/template" "$prefix"

if [ -n "${DISPLAY:-}" ]; then
  scripts/wine-prefix.sh start "$prefix"
  rc=0
  scripts/wine-install.sh "$prefix" build/win32/medium || rc=$?
  scripts/wine-prefix.sh stop "$prefix"
  exit $rc
fi

cp build/win32/tools/uidriver/uidriver.exe "$prefix/drive_c/"
export root prefix shot
rc=0
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -u
  "$root/scripts/wine-prefix.sh" start "$prefix"
  report="$prefix/.kv-install-report"
  "$root/scripts/wine-install.sh" "$prefix" "$root/build/win32/medium" /s | tee "$report"
  rc=${PIPESTATUS[0]}
  if [ -n "$shot" ] && [ $rc -eq 0 ]; then
    source "$root/scripts/wine-env.sh" "$prefix"
    main="$(sed -n "s/^  File1=//p" "$report")"  # the main program comes first in the log
    wine "$main" </dev/null >/dev/null 2>&1 &
    if wine "C:\\uidriver.exe" wait TDemoManager 30; then
      wine "C:\\uidriver.exe" shot "C:\\shot.png" TDemoManager || rc=1
    else
      echo "the installed program showed no window" >&2
      rc=1
    fi
  fi
  "$root/scripts/wine-prefix.sh" stop "$prefix"
  exit $rc
' || rc=$?
if [ -n "$shot" ] && [ -f "$prefix/drive_c/shot.png" ]; then
  mkdir -p "$(dirname "$shot")"
  convert "$prefix/drive_c/shot.png" -strip "$shot"  # recompressed: the driver stores pixels uncompressed
  echo "screenshot of the installed program: $shot"
fi
exit $rc
