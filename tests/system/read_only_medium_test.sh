#!/usr/bin/env bash
# The settings location of a program on a medium it cannot write. As root,
# Wine ignores Unix permissions, so the program runs as the unprivileged user
# nobody in a copy of the test prefix, from a folder that user cannot write.
#   read_only_medium_test.sh WINE_ENV PREFIX PROBE_EXE
set -euo pipefail
wine_env="$1"; prefix="$2"; probe="$3"

copy="$(mktemp -d /tmp/kv-nobody.XXXXXX)"
trap 'setpriv --reuid=nobody --regid=nogroup --clear-groups bash -c "source \"$wine_env\" \"$copy\"; wineserver -k" >/dev/null 2>&1 || true; rm -rf "$copy"' EXIT
chmod 755 "$copy"
cp -a "$prefix/." "$copy/"
# The link to the running root wineserver belongs to the original.
rm -f "$copy/wineserver"
chown -R nobody:nogroup "$copy"
medium="$copy/drive_c/Medium"
mkdir -p "$medium"
cp "$probe" "$medium/SETUP.EXE"
chown -R root:root "$medium"
chmod 755 "$medium"

as_nobody() {
  setpriv --reuid=nobody --regid=nogroup --clear-groups \
    bash -c 'source "$1" "$2"; shift 2; wine "$@" </dev/null 2>&1' _ "$wine_env" "$copy" "$@"
}
out="$(as_nobody 'C:\Medium\SETUP.EXE' | tr -d '\r')"
echo "$out"

expect() {
  grep -qxF "$1" <<<"$out" || { echo "expected line: $1"; exit 1; }
}
expect 'exedir=C:\Medium\'
expect 'settingsfile=C:\users\tester\Medium\SETUP.INI'
expect 'settingsdir=C:\users\tester\Medium\'
[ -d "$copy/drive_c/users/tester/Medium" ] || { echo "the settings folder was not created"; exit 1; }
[ ! -e "$medium/IniTest" ] || { echo "a probe file was left on the medium"; exit 1; }
echo "settings moved to the profile folder"
