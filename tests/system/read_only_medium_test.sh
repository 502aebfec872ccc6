#!/usr/bin/env bash
# The settings location of a program on a medium it cannot write. As root,
# Wine ignores Unix permissions, so the program runs as the unprivileged user
# nobody in a copy of the test prefix, from a folder that user cannot write.
#   read_only_medium_test.sh WINE_ENV PREFIX PROBE_EXE
set -euo pipefail
wine_env="$1"; prefix="$2"; probe="$3"

source "$(dirname "$0")/../support/unprivileged.sh"
make_user_prefix "$wine_env" "$prefix"
medium="$user_prefix/drive_c/Medium"
mkdir -p "$medium"
cp "$probe" "$medium/SETUP.EXE"
chown -R root:root "$medium"
chmod 755 "$medium"

out="$(as_nobody 'C:\Medium\SETUP.EXE' | tr -d '\r')"
echo "$out"

expect() {
  grep -qxF "$1" <<<"$out" || { echo "expected line: $1"; exit 1; }
}
expect 'exedir=C:\Medium\'
expect 'settingsfile=C:\users\tester\Medium\SETUP.INI'
expect 'settingsdir=C:\users\tester\Medium\'
[ -d "$user_prefix/drive_c/users/tester/Medium" ] || { echo "the settings folder was not created"; exit 1; }
[ ! -e "$medium/IniTest" ] || { echo "a probe file was left on the medium"; exit 1; }
echo "settings moved to the profile folder"
