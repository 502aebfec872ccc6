#!/usr/bin/env bash
# The program's folders stand on one another: system, decompress, engine,
# then wizard and uninstall side by side, then startup on top. A file may
# include headers of its own folder and of folders below it; an include that
# runs up or sideways would let two folders need each other.
#   layering_test.sh REPOSITORY
set -euo pipefail
cd "$1"

declare -A floor=([system]=0 [decompress]=1 [engine]=2 [wizard]=3 [uninstall]=3 [startup]=4)

fail=0
for folder in "${!floor[@]}"; do
  while IFS=: read -r file line text; do
    included="$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' <<<"$text")"
    [ -n "$included" ] && [ "$included" != "$folder" ] || continue
    if [ -z "${floor[$included]+set}" ]; then
      echo "$file:$line: includes from $included, which is no program folder: $text"
      fail=1
    elif [ "${floor[$included]}" -ge "${floor[$folder]}" ]; then
      echo "$file:$line: $folder includes from $included, which does not stand below it: $text"
      fail=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$folder" || true)
done
[ $fail -eq 0 ] && echo "every include of the program folders runs down"
exit $fail
