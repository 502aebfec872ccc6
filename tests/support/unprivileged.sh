# Sourced by test scripts that need a folder the program cannot write. As
# root, Wine ignores Unix permissions; these helpers run Wine as the user
# nobody in a throw-away copy of the test prefix.
#   make_user_prefix WINE_ENV PREFIX   sets $user_prefix (removed on exit)
#   as_nobody PROGRAM [ARGS...]        runs a Windows program there, output on stdout

make_user_prefix() {
  kv_wine_env="$1"
  user_prefix="$(mktemp -d /tmp/kv-nobody.XXXXXX)"
  trap 'as_nobody_shell "wineserver -k" >/dev/null 2>&1 || true; rm -rf "$user_prefix"' EXIT
  "$(dirname "$kv_wine_env")/wine-prefix.sh" copy "$2" "$user_prefix" || return 1
  chmod 755 "$user_prefix"
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
