#!/usr/bin/env bash
# The walk over directories sees a directory link as a link, so neither the
# listing nor the deletion of a tree follows it out of the tree: the folder it
# points to keeps its files. Wine cannot create junctions, but it shows a
# Unix symbolic link to a directory as a reparse point, so the link is made
# from this side. (Windows removes a junction with RemoveDirectory; Wine
# cannot remove a Unix link that way, so here the link and its parents stay.)
#   links_test.sh WINE_RUN PREFIX PROBE_EXE
set -euo pipefail
wine_run="$1"; prefix="$2"; probe="$3"
root="$prefix/drive_c/kv-link-test"
rm -rf "$root"
mkdir -p "$root/tree/sub" "$root/outside/inner"
echo keep > "$root/outside/keep.txt"
echo keep > "$root/outside/inner/deep.txt"
echo x > "$root/tree/sub/a.txt"
ln -s ../../outside "$root/tree/sub/dirlink"

fail=0
entries="$("$wine_run" "$probe" --entries 'C:\kv-link-test\tree\sub\*.*' | tr -d '\r' | sort)"
expected=$'C:\\kv-link-test\\tree\\sub\\a.txt 0 0\nC:\\kv-link-test\\tree\\sub\\dirlink 1 1'
[ "$entries" = "$expected" ] || { echo "entries: $entries"; fail=1; }

"$wine_run" "$probe" --delete-tree 'C:\kv-link-test\tree'

[ ! -e "$root/tree/sub/a.txt" ] || { echo "the tree's own files are still there"; fail=1; }
for f in keep.txt inner/deep.txt; do
  [ -f "$root/outside/$f" ] || { echo "outside/$f was deleted through a link"; fail=1; }
done
rm -rf "$root"
[ $fail -eq 0 ] && echo "tree emptied, link targets untouched"
exit $fail
