#!/usr/bin/env bash
# The window placement test on small screens with large fonts, in one prefix
# beside the build tree's (copied once), set to each screen in turn: the
# virtual desktop's size and the dots per inch, read by the next wineserver.
#   placement_test.sh WINE_PREFIX_SH PREFIX TEST_EXE
set -euo pipefail
prefix_sh="$1"; template="$2"; test_exe="$3"; prefix="$2-screens"
if [ "$(cat "$prefix/.kv-template" 2>/dev/null)" != "$(cat "$template/.kv-ready")" ]; then
  "$prefix_sh" copy "$template" "$prefix"
  cp "$template/.kv-ready" "$prefix/.kv-template"
fi
source "$(dirname "$prefix_sh")/wine-env.sh" "$prefix"
"$prefix_sh" start "$prefix"
trap '"$prefix_sh" stop "$prefix"' EXIT
rc=0
for setting in "800x600 120" "800x600 144" "640x480 96" "640x480 144"; do
  read -r size dpi <<<"$setting"
  echo "== $size at $dpi dpi"
  dots="dword:$(printf '%08x' "$dpi")"
  printf '%s\r\n' REGEDIT4 "" '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=$dots" \
    '[HKEY_CURRENT_CONFIG\Software\Fonts]' "\"LogPixels\"=$dots" \
    '[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]' "\"LogPixels\"=$dots" \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' "\"Default\"=\"$size\"" >"$prefix/drive_c/kv-screen.reg"
  wine regedit /S 'C:\kv-screen.reg' >/dev/null 2>&1 </dev/null
  "$prefix_sh" stop "$prefix" && wineserver -w && "$prefix_sh" start "$prefix"
  wine "$test_exe" --gtest_filter='WindowPlacement.*' </dev/null || rc=1
done
exit $rc
