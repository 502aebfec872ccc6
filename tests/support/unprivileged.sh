# Sourced by test scripts that need a folder the program cannot write. As
# root, Wine ignores Unix permissions; these helpers run Wine as the user
# nobody in a throw-away copy of the test prefix.
#   make_user_prefix WINE_ENV PREFIX   sets $user_prefix (removed on exit)
#   as_nobody PROGRAM [ARGS...]        runs a Windows program there, output on stdout

make_user_prefix() {
  kv_wine_env="$1"
  user_prefix="$(mktemp -d /tmp/kv-nobody.XXXXXX)"
  trap 'as_nobody_shell "wineserver -k" >/dev/null 2>&1 || true; rm -rf "$user_prefix"' EXIT
  chmod 755 "$user_prefix"
  # Tests running beside this one create and delete files in the prefix while
  # it is copied; a file that vanished midway is no loss, so only the copy of
  # the prefix's core is checked.
  cp -a "$2/." "$user_prefix/" 2>/dev/null || true
  for needed in system.reg user.reg drive_c/windows/system32/kernel32.dll; do
    [ -e "$user_prefix/$needed" ] || { echo "copying the prefix failed: $needed is missing" >&2; return 1; }
  done
  # The link to the running root wineserver belongs to the original prefix.
  rm -f "$user_prefix/wineserver"
  # The checkout may be closed to other users (a private temporary folder).
  cp "$kv_wine_env" "$user_prefix/wine-env.sh"
  kv_wine_env="$user_prefix/wine-env.sh"
  chown -R nobody:nogroup "$user_prefix"
}

as_nobody_shell() {
  setpriv --reuid=nobody --regid=nogroup --clear-groups \
    bash -c 'source "$1" "$2"; eval "$3"' _ "$kv_wine_env" "$user_prefix" "$1"
}

as_nobody() {
  setpriv --reuid=nobody --regid=nogroup --clear-groups \
    bash -c 'source "$1" "$2"; shift 2; wine "$@" </dev/null 2>&1' _ "$kv_wine_env" "$user_prefix" "$@"
}
