#!/usr/bin/env bash
# Makes the known-answer streams of the decoder tests with an encoder that
# shares no code with this program: jLHA's -lh1- method (Debian package
# jlha-utils / libjlha-java, Java), whose streams are LZHUF streams. Each
# input is packed as a one-member archive, checked with lhasa (an LHA
# decoder that shares no code with either: CRC and a byte comparison), and
# its member's data is written with the "!HZL" header as NAME. SHA256SUMS
# gets the input's SHA-256, its size and NAME; the inputs are not kept.
#   tests/decompress/known/make-streams.sh      (run once; the result is checked in)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
jar=/usr/share/java/jlha.jar
for tool in java javac lhasa python3; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done
[ -f "$jar" ] || { echo "$jar is missing (Debian package libjlha-java)" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

javac -cp "$jar" -d "$work" "$here/LhaOneMember.java"

# Deterministic inputs from a fixed linear congruential generator. Each must
# pass several rebuilds of the tree (a rebuild comes every 16384 symbols or
# so) and several 32768-byte blocks. Matches make few symbols of many bytes,
# so both inputs mix their matches with stretches of literals that no match
# can cover: no three bytes of such a stretch occur again within the ring.
python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
state = 12345
def rand(n):
    global state
    state = (state * 1103515245 + 12345) & 0x7FFFFFFF
    return (state >> 8) % n

def literals(out, count, alphabet):
    """count bytes from alphabet, skewed toward its start, no 3 of them
    seen again within 4200 bytes: the encoder must code each as a literal."""
    seen = {}
    for _ in range(count):
        for _ in range(200):
            c = alphabet[min(rand(len(alphabet)), rand(len(alphabet)), rand(len(alphabet)))]
            key = bytes(out[-2:]) + bytes([c])
            if len(out) - seen.get(key, -10**9) > 4200:
                break
        seen[key] = len(out)
        out.append(c)

# Text: words of a Zipf-like vocabulary in lines, mostly matches, between
# stretches of literals from bytes text does not use.
words = ("Setup Datei Verzeichnis Programm installiert wird der die das und nicht "
         "Fehler kopiert Laufwerk Gruppe Verknüpfung Benutzer Windows Eintrag Liste "
         "entfernt Hilfe Beispiel Vorlage Sicherung Abbrechen Weiter Fertig").split()
noise = list(range(0x80, 0x98))
out = bytearray()
while len(out) < 150000:
    for _ in range(60 + rand(80)):
        line = []
        for _ in range(3 + rand(9)):
            w = words[min(rand(len(words)), rand(len(words)))]
            line.append(w.upper() if rand(17) == 0 else w)
        out += (" ".join(line) + (".\r\n" if rand(3) else ",\r\n")).encode("cp1252")
    literals(out, 1000 + rand(3000), noise)
open(f"{work}/TEXT.TXT", "wb").write(out[:150000])

# Far matches: starts with spaces (matches into the initial ring content),
# then repeats earlier stretches from up to 4096 bytes back and runs longer
# than a match, past the ring's wrap many times, between literal stretches.
out = bytearray(b" " * 200)
while len(out) < 200000:
    for _ in range(100 + rand(300)):
        kind = rand(3)
        if kind == 0 and len(out) > 4200:
            back = 4096 - rand(64)
            for _ in range(20 + rand(120)):
                out.append(out[-back])
        elif kind == 1:
            out += bytes([rand(256)]) * (61 + rand(200))
        else:
            out += bytes(rand(256) for _ in range(1 + rand(12)))
    literals(out, 4000 + rand(8000), list(range(0x30, 0x48)))
open(f"{work}/FAR.BIN", "wb").write(out[:200000])
PY

: >"$here/SHA256SUMS"
for input in TEXT.TXT FAR.BIN; do
  name="${input%?}_"
  (cd "$work" && java -cp "$jar:$work" LhaOneMember "$input" "$input.lzh")
  lhasa t "$work/$input.lzh" >/dev/null
  (cd "$work" && lhasa pq "$input.lzh") | cmp -s - "$work/$input" ||
    { echo "lhasa does not give back $input" >&2; exit 1; }
  python3 - "$work/$input.lzh" "$here/$name" <<'PY'
import struct, sys
archive = open(sys.argv[1], "rb").read()
# Level-0 header: its length (without the first two bytes), a checksum, the
# method, the coded size and the original size; the coded data follows.
assert archive[2:7] == b"-lh1-" and archive[20] == 0, archive[2:7]
coded, original = struct.unpack_from("<II", archive, 7)
start = archive[0] + 2
open(sys.argv[2], "wb").write(b"!HZL" + struct.pack("<i", original) + archive[start:start + coded])
PY
  printf '%s  %s  %s\n' "$(sha256sum <"$work/$input" | cut -d' ' -f1)" "$(stat -c %s "$work/$input")" "$name" \
    >>"$here/SHA256SUMS"
done
cat "$here/SHA256SUMS"
ls -l "$here"
