#!/usr/bin/env bash
# Creates and serves the private Wine prefix of a build tree.
#   wine-prefix.sh setup PREFIX   create PREFIX once (win32, fonts, registry defaults)
#   wine-prefix.sh start PREFIX   start a persistent wineserver and Wine's services
#   wine-prefix.sh stop  PREFIX   stop them
#   wine-prefix.sh copy  PREFIX TO  make TO a fresh prefix: a copy of PREFIX,
#                                   made ready by setup (1 s instead of 10)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cmd="$1"
prefix="$(mkdir -p "$2" && cd "$2" && pwd)"
source "$here/wine-env.sh" "$prefix"
settings_version=2

case "$cmd" in
setup)
  # .kv-ready holds the version of the settings below; a prefix made with
  # older ones gets the current fonts and registry defaults.
  [ "$(cat "$prefix/.kv-ready" 2>/dev/null)" = "$settings_version" ] && exit 0
  mkdir -p "$HOME"
  if [ ! -f "$prefix/.kv-ready" ]; then
    wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
    # The profile's Desktop, Documents etc. are links into $HOME; make them
    # real folders so that nothing a test creates leaves the prefix.
    for link in "$prefix/drive_c/users/$USER"/*; do
      if [ -L "$link" ]; then rm "$link"; mkdir -p "$link"; fi
    done
  fi
  # Wine 8 does not find the fonts of fonts-wine by itself. The program's
  # windows ask for Arial, Times New Roman and Courier New: the Liberation
  # fonts have the same metrics, so texts take the room they take on Windows.
  cp /usr/share/wine/fonts/*.ttf /usr/share/fonts/truetype/liberation/Liberation{Sans,Serif,Mono}-*.ttf \
     "$prefix/drive_c/windows/Fonts/"
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
"Courier New"="Liberation Mono"
REG
  wine regedit /S 'C:\kv-defaults.reg' >/dev/null 2>&1 </dev/null
  rm "$prefix/drive_c/kv-defaults.reg"
  wineserver -w
  echo "$settings_version" > "$prefix/.kv-ready"
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
copy)
  to="${3:?usage: $0 copy PREFIX TO}"
  [ -f "$prefix/.kv-ready" ] || { echo "$prefix is not a ready prefix" >&2; exit 1; }
  if [ -e "$to" ] && [ ! -f "$to/.kv-ready" ] && [ -n "$(ls -A "$to")" ]; then
    echo "$to is neither empty nor a prefix; not replaced" >&2
    exit 1
  fi
  stop_copy() { WINEPREFIX="$to" wineserver -k </dev/null >/dev/null 2>&1 || true; }
  [ -f "$to/.kv-ready" ] && stop_copy
  mkdir -p "$to"
  find "$to" -mindepth 1 -maxdepth 1 -exec rm -rf {} +
  # Tests running beside may create and delete files in PREFIX while it is
  # copied; a file that vanished midway is no loss, so only the prefix's core
  # is checked.
  cp -a "$prefix/." "$to/" 2>/dev/null || true
  for needed in system.reg user.reg drive_c/windows/system32/kernel32.dll .kv-ready; do
    [ -e "$to/$needed" ] || { echo "copying the prefix failed: $needed is missing" >&2; exit 1; }
  done
  # The link to PREFIX's running wineserver belongs to PREFIX.
  rm -f "$to/wineserver"
  ;;
*)
  echo "usage: $0 setup|start|stop PREFIX | copy PREFIX TO" >&2
  exit 2
  ;;
esac
