# Sourced: sets up the environment for Wine in the private prefix given as $1.
# Quiet Wine (but still naming a missing DLL), no Mono or Gecko prompts, no
# desktop entries, and a sandbox HOME inside the prefix.
export WINEPREFIX="$1"
export WINEARCH=win32
export WINEDEBUG=-all,err+module
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$WINEPREFIX/home"
export USER="${KV_WINE_USER:-tester}"
export LANG=C.UTF-8
