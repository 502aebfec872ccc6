#!/usr/bin/env bash
# Runs the window placement test on small screens with large fonts, in one
# Wine prefix beside the build tree's (a copy made once) that is set to each
# screen in turn: the virtual desktop's size and the dots per inch, which the
# next wineserver reads.
#   placement_test.sh WINE_PREFIX_SH PREFIX TEST_EXE
set -euo pipefail
prefix_sh="$1"; template="$2"; test_exe="$3"
prefix="$template-screens"
settings=("800x600 120" "800x600 144" "640x480 96" "640x480 144")

if [ "$(cat "$prefix/.kv-template" 2>/dev/null)" != "$(cat "$template/.kv-ready")" ]; then
  "$prefix_sh" copy "$template" "$prefix"
  cp "$template/.kv-ready" "$prefix/.kv-template"
fi
source "$(dirname "$prefix_sh")/wine-env.sh" "$prefix"

set_screen() {
  local pixels
  pixels="dword:$(printf '%08x' "$2")"
  cat > "$prefix/drive_c/kv-screen.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=$pixels

[HKEY_CURRENT_CONFIG\\Software\\Fonts]
"LogPixels"=$pixels

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]
"LogPixels"=$pixels

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="$1"
REG
  wine regedit /S 'C:\kv-screen.reg' >/dev/null 2>&1 </dev/null
  # A new wineserver reads the new values.
  "$prefix_sh" stop "$prefix"
  wineserver -w
  "$prefix_sh" start "$prefix"
}

"$prefix_sh" start "$prefix"
trap '"$prefix_sh" stop "$prefix"' EXIT
rc=0
for setting in "${settings[@]}"; do
  read -r size dpi <<<"$setting"
  echo "== $size at $dpi dpi"
  set_screen "$size" "$dpi"
  wine "$test_exe" --gtest_filter='WindowPlacement.*' </dev/null || rc=1
done
exit $rc
