#!/usr/bin/env bash
# hzpack's command line, natively or under Wine:
#   hzpack_test.sh HZPACK [RUNNER]      (RUNNER: the build's wine-run.sh)
# Exit codes and usage, an earlier packed file that survives a failed write,
# info on a file too large to read whole, and (natively) the mode of new files.
set -uo pipefail
hzpack="$1"
runner="${2:-}"
work="$(mktemp -d "${TMPDIR:-/tmp}/kvhzpack.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cd "$work"   # relative names: Wine sees the working directory as its own
failures=0

hz() { ${runner:+"$runner"} "$hzpack" "$@"; }
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expect_status() {  # expected-status description command...
  local want="$1" what="$2"; shift 2
  "$@" >out.txt 2>err.txt
  local got=$?
  [ "$got" -eq "$want" ] || fail "$what: exit $got, expected $want ($(head -c 300 err.txt))"
}

# Exit codes and where the usage goes.
expect_status 0 "--help" hz --help
grep -q '^usage: hzpack pack' out.txt || fail "--help prints the usage on standard output"
expect_status 0 "-h" hz -h
grep -q '^usage: hzpack pack' out.txt || fail "-h prints the usage on standard output"
expect_status 0 "--version" hz --version
grep -Eq '^hzpack [0-9]+\.[0-9]+' out.txt || fail "--version prints the version, got: $(cat out.txt)"
for args in "--bogus" "-x" "pack --fast in" "info" "expand one" "unpack a b" "" \
            "make src med --name x" "make src --name x --agreement v" "make src med --name x --agreement" \
            "make src med --name x --agreement v --fast"; do
  # shellcheck disable=SC2086
  expect_status 2 "unknown or incomplete command line '$args'" hz $args
  grep -q '^usage:' err.txt || fail "'$args' shows the usage on standard error"
done

# A pack whose write fails (the file size limit stands in for a full disk)
# keeps the earlier packed file and leaves no temporary file.
printf 'installed by an earlier version' >small.txt
expect_status 0 "pack a small file" hz pack small.txt PROG.TX_
cp PROG.TX_ earlier.TX_
head -c 300000 /dev/urandom >big.txt
( ulimit -f 64; trap '' XFSZ; hz pack big.txt PROG.TX_ >out.txt 2>err.txt; echo $? >status )
[ "$(cat status)" -eq 1 ] || fail "a pack that cannot be written exits 1, got $(cat status)"
cmp -s PROG.TX_ earlier.TX_ || fail "the earlier packed file survives a failed pack"
leftover=$(ls | grep -v -x -e small.txt -e big.txt -e PROG.TX_ -e earlier.TX_ -e out.txt -e err.txt -e status)
[ -z "$leftover" ] || fail "a failed pack leaves files behind: $leftover"
expect_status 0 "pack over an earlier file" hz pack big.txt PROG.TX_
expect_status 0 "expand" hz expand PROG.TX_ back.txt
cmp -s big.txt back.txt || fail "pack and expand give back the original"

# info reads the header only: a sparse file of several GiB, in a process
# whose memory could not hold it (the 32-bit build cannot, natively a limit
# says so; the sanitizers need their address space).
head -c 8 PROG.TX_ >huge.TX_
truncate -s 1536M huge.TX_
# grep -c reads all of ldd's output: with pipefail, grep -q could stop ldd
# with SIGPIPE and make the test take a sanitizer build for a plain one.
asan=$(ldd "$hzpack" 2>/dev/null | grep -c libasan || true)
if [ -z "$runner" ] && [ "$asan" -eq 0 ]; then
  ( ulimit -v 262144; hz info huge.TX_ >out.txt 2>err.txt; echo $? >status )
else
  hz info huge.TX_ >out.txt 2>err.txt; echo $? >status
fi
[ "$(cat status)" -eq 0 ] || fail "info on a 1.5 GiB file: exit $(cat status) ($(cat err.txt))"
grep -q "coded bytes    $((1536 * 1024 * 1024 - 8))" out.txt || fail "info counts the coded bytes: $(cat out.txt)"
grep -q "expanded size  300000" out.txt || fail "info shows the expanded size: $(cat out.txt)"

# New files get 0666 less the umask, as any program's output does.
if [ -z "$runner" ]; then
  for mask in 022 077 002; do
    rm -f m.TX_ m.txt
    ( umask "$mask"; hz pack small.txt m.TX_ >/dev/null 2>&1; hz expand m.TX_ m.txt )
    want=$(printf '%o' $((0666 & ~8#$mask)))
    for f in m.TX_ m.txt; do
      got=$(stat -c %a "$f")
      [ "$got" = "$want" ] || fail "umask $mask: $f has mode $got, expected $want"
    done
  done
fi

if [ "$failures" -eq 0 ]; then echo "hzpack command line: all checks passed"; fi
exit $((failures > 0))
