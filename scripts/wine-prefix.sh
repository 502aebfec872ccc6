#!/usr/bin/env bash
# Creates and serves the private Wine prefix of a build tree.
#   wine-prefix.sh setup PREFIX   create PREFIX once (win32, fonts, registry defaults)
#   wine-prefix.sh start PREFIX   start a persistent wineserver and Wine's services
#   wine-prefix.sh stop  PREFIX   stop them
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cmd="$1"
prefix="$(mkdir -p "$2" && cd "$2" && pwd)"
source "$here/wine-env.sh" "$prefix"

case "$cmd" in
setup)
  [ -f "$prefix/.kv-ready" ] && exit 0
  mkdir -p "$HOME"
  wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w
  # Wine 8 does not find the fonts of fonts-wine by itself. The program's
  # windows ask for Arial and Times New Roman: the Liberation fonts have the
  # same metrics, so texts take the room they take on Windows.
  cp /usr/share/wine/fonts/*.ttf /usr/share/fonts/truetype/liberation/Liberation{Sans,Serif}-*.ttf \
     "$prefix/drive_c/windows/Fonts/"
  # The profile's Desktop, Documents etc. are links into $HOME; make them real
  # folders so that nothing a test creates leaves the prefix.
  for link in "$prefix/drive_c/users/$USER"/*; do
    if [ -L "$link" ]; then rm "$link"; mkdir -p "$link"; fi
  done
  cat > "$prefix/drive_c/kv-defaults.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
REG
  wine regedit /S 'C:\kv-defaults.reg' >/dev/null 2>&1 </dev/null
  rm "$prefix/drive_c/kv-defaults.reg"
  wineserver -w
  touch "$prefix/.kv-ready"
  ;;
start)
  # The first Wine process starts background services that inherit the
  # caller's output; start them here with no output attached, or CTest waits
  # for them forever.
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
  ;;
stop)
  wineserver -k </dev/null >/dev/null 2>&1 || true
  ;;
*)
  echo "usage: $0 setup|start|stop PREFIX" >&2
  exit 2
  ;;
esac
