#!/usr/bin/env bash
# The sample medium installed in automatic mode as scripts/run.sh installs
# it: in a copy of the test prefix, on a display of its own, so that its
# windows and its uninstall entry stay away from the other tests. Every file
# must arrive as built, the log must list them in copy order, and a second
# install must leave the user's own sample database alone.
#   sample_medium_test.sh SOURCE_DIR PREFIX MEDIUM DEMO_EXE
set -euo pipefail
src="$1"; template="$2"; medium="$3"; demo="$4"

prefix="$(mktemp -d /tmp/kv-sample.XXXXXX)"
trap 'WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"' EXIT
"$src/scripts/wine-prefix.sh" copy "$template" "$prefix"

fail() { echo "$1"; exit 1; }

# install REPORT: SETUP.EXE /s on the medium, wine-install.sh's report in REPORT.
install() {
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1/scripts/wine-prefix.sh" start "$2"
    rc=0
    "$1/scripts/wine-install.sh" "$2" "$3" /s >"$4" || rc=$?
    "$1/scripts/wine-prefix.sh" stop "$2"
    exit $rc' _ "$src" "$prefix" "$medium" "$1"
}

install "$prefix/first.txt" || { cat "$prefix/first.txt"; fail "the first install failed"; }
cat "$prefix/first.txt"
grep -qxF 'install directory: C:\Programme\Demo Manager' "$prefix/first.txt" || fail "not in the list's folder"

dir="$prefix/drive_c/Programme/Demo Manager"
while IFS="|" read -r installed original; do
  cmp "$installed" "$original" || fail "$installed is not what the medium holds"
done <<LIST
$dir/DEMO.EXE|$demo
$dir/Beispiel.HDB|$src/samples/demo/Beispiel.hdb
$dir/DEMO.HLP|$src/samples/demo/DEMO.HLP.txt
$dir/Liesmich.txt|$medium/Liesmich.txt
$dir/Uninstal.exe|$medium/SETUP.EXE
$prefix/drive_c/windows/DEMO.INI|$medium/DEMO.INI
LIST

diff <(sed -n 's/^  \(File[0-9]*=\)/\1/p' "$prefix/first.txt") - <<'LOG' || fail "the log's file list differs"
File1=c:\programme\demo manager\demo.exe
File2=c:\programme\demo manager\beispiel.hdb
File3=c:\programme\demo manager\demo.hlp
File4=c:\programme\demo manager\liesmich.txt
File5=c:\windows\demo.ini
File6=c:\programme\demo manager\uninstal.exe
LOG

echo "Vorführung des Benutzers" >"$dir/Beispiel.HDB"
install "$prefix/second.txt" || { cat "$prefix/second.txt"; fail "the second install failed"; }
[ "$(cat "$dir/Beispiel.HDB")" = "Vorführung des Benutzers" ] || fail "the second install replaced the user's database"
cmp "$dir/DEMO.EXE" "$demo" || fail "the second install broke DEMO.EXE"
echo "sample medium installed twice, the user's database kept"
