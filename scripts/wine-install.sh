#!/usr/bin/env bash
# Installs a medium under Wine and tells what came of it: the install
# directory, SETUP.EXE's exit code and the install log.
#   wine-install.sh PREFIX MEDIUM [ARGS...]   ARGS go to SETUP.EXE (e.g. /s)
# The medium is copied into the prefix as C:\Medium and started from there,
# so that nothing the program writes beside itself lands in MEDIUM. Needs a
# display and the prefix's wineserver started (wine-prefix.sh start).
# Exits with SETUP.EXE's exit code, or Wine's 53 when it could not start
# SETUP.EXE at all.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
prefix="$(cd "$1" && pwd)"
medium="$(cd "$2" && pwd)"
shift 2
source "$here/wine-env.sh" "$prefix"

copy="$prefix/drive_c/Medium"
rm -rf "$copy"
cp -r "$medium" "$copy"
stamp="$prefix/.kv-install-start"
touch "$stamp"

rc=0
wine 'C:\Medium\SETUP.EXE' "$@" </dev/null >/dev/null 2>&1 || rc=$?

case $rc in
  0) meaning="install completed" ;;
  1) meaning="files given up, or the run stopped by an error" ;;
  2) meaning="cancelled by the user" ;;
  # Wine's own code when it cannot start a program at all.
  53) if [ -z "$(find "$copy" -maxdepth 1 -iname setup.exe)" ]; then
        meaning="Wine found no SETUP.EXE on the medium to start"
      else
        meaning="Wine could not start SETUP.EXE: a DLL it needs is missing"
      fi ;;
  *) meaning="ended before the install (see the README's exit codes)" ;;
esac
# The log written by this run tells where it went: the list's default folder,
# the one the user chose, or the fallback the automatic mode switched to.
log="$(find "$prefix/drive_c" -path "$prefix/drive_c/windows" -prune -o \
            -iname install1.log -newer "$stamp" -print | head -n 1)"
if [ -n "$log" ]; then
  dir="$(dirname "$log")"
  echo "install directory: C:${dir#"$prefix/drive_c"}" | tr / '\\'
  echo "  (on this machine: $dir)"
fi
echo "exit code: $rc ($meaning)"
if [ -n "$log" ]; then
  echo "install log $(basename "$log"):"
  # Written in code page 1252 with Windows line ends.
  iconv -f CP1252 -t UTF-8 "$log" | tr -d '\r' | sed 's/^/  /'
else
  echo "no install log was written on drive C:"
fi
exit $rc
