#!/usr/bin/env bash
# A medium made with hzpack make from a small product (a packed program, a
# packed file in a folder, plain files, one with a non-ASCII name, one two
# folders down; the program stored plain, as packing makes it larger; the help
# file with a shortcut), installed in automatic mode under Wine: every product
# file must arrive in place with its bytes. Making it twice gives the same one.
#   made_medium_test.sh SOURCE_DIR PREFIX HZPACK
# HZPACK is the native packer with this build's SETUP.EXE beside it.
set -euo pipefail
src="$1"; template="$2"; hzpack="$3"

work="$(mktemp -d /tmp/kv-made.XXXXXX)"
prefix="$work/prefix"
trap 'WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
fail() { echo "$1"; exit 1; }

product="$work/Produkt"
mkdir -p "$product/Hilfe/Bilder"
head -c 300000 /dev/urandom >"$product/RUND.EXE"
seq 1 20000 >"$product/Hilfe/RUND.HLP"
head -c 5000 /dev/urandom >"$product/Hilfe/Bilder/Logo.bmp"
printf '[Optionen]\r\nFarbe=grün\r\n' >"$product/Büro.ini"
printf 'Vertrag\r\n' >"$work/Vertrag.txt"
printf 'Neu in dieser Fassung\r\n' >"$work/Liesmich.txt"

make_medium() {
  "$hzpack" make "$product" "$1" --name "Rundreise" --agreement "$work/Vertrag.txt" --readme "$work/Liesmich.txt" \
    --item "Hilfe/RUND.HLP=Rundreise Hilfe"
}
make_medium "$work/medium" || fail "make failed"
make_medium "$work/again" >/dev/null || fail "the second make failed"
diff -r "$work/medium" "$work/again" || fail "the same product made two different media"
if make_medium "$work/medium" >/dev/null 2>&1; then fail "make wrote into a medium that is not empty"; fi

"$src/scripts/wine-prefix.sh" copy "$template" "$prefix"
rc=0
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1/scripts/wine-prefix.sh" start "$2"
  rc=0
  "$1/scripts/wine-install.sh" "$2" "$3" /s >"$4" || rc=$?
  "$1/scripts/wine-prefix.sh" stop "$2"
  exit $rc' _ "$src" "$prefix" "$work/medium" "$work/report.txt" || rc=$?
cat "$work/report.txt"
[ "$rc" -eq 0 ] || fail "the install ended with $rc"
grep -qxF 'install directory: C:\Programme\Rundreise' "$work/report.txt" || fail "not in the list's folder"

dir="$prefix/drive_c/Programme/Rundreise"
for file in RUND.EXE Hilfe/RUND.HLP Hilfe/Bilder/Logo.bmp Büro.ini; do
  cmp "$dir/$file" "$product/$file" || fail "$file did not arrive as the product has it"
done
[ -n "$(find "$prefix/drive_c" -ipath '*/Rundreise/Rundreise Hilfe.lnk')" ] || fail "no shortcut to the help file"
echo "made medium installed, every product file in place, the help file's shortcut in the group"
