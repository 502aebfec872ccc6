#!/usr/bin/env python3
"""Writes the install benchmark's tree: 1,000 files of mixed sizes, about 70 MB,
sliced from the system's shared libraries (binary) and documentation (text).
Sources are taken in sorted order and the sizes come from a fixed seed, so the
tree is the same on every run on one machine.

    make_install_tree.py TREE_DIR LIB_DIR [COUNT [BYTES [PER_FOLDER]]]

COUNT files (default 1,000) make the same mix at any scale: 70 KB a file on
average, or BYTES (tiny files, where an install's work per file shows).
PER_FOLDER files share a folder (default 100; 0 puts all in the root, a flat
tree, where the work of finding a name in a folder shows).

Prints each file's path relative to TREE_DIR ("/" separated), in list order.
The names carry extensions the setup program maps back from their packed
form (F0001.DL_ installs as F0001.DLL); every hundred files share a folder,
the first hundred the root, unless PER_FOLDER says otherwise."""
import math
import os
import random
import sys

FILES = 1000
BYTES_PER_FILE = 70 * 1000
PER_FOLDER = 100
SEED = 1995
# Sizes log-uniform over this range, then scaled so that they sum to about
# BYTES_PER_FILE a file: many small files, a few of several hundred kilobytes.
SMALLEST, LARGEST = 100, 700 * 1000
BINARY_EXTENSIONS = [".EXE", ".DLL", ".DAT"]
TEXT_EXTENSIONS = [".TXT", ".HLP", ".RTF"]
TEXT_SOURCE = "/usr/share/doc"


def sorted_files(top, keep):
    found = []
    for folder, dirs, names in os.walk(top):
        dirs.sort()
        for name in names:
            path = os.path.join(folder, name)
            if keep(name) and os.path.isfile(path) and not os.path.islink(path):
                found.append(path)
    return sorted(found, key=os.fsencode)


def first_bytes(paths, count):
    """The first COUNT bytes of the files' concatenation, which starts over
    where it is shorter (large trees need more text than a system has)."""
    parts, have = [], 0
    while have < count:
        before = have
        for path in paths:
            if have >= count:
                break
            with open(path, "rb") as f:
                data = f.read(count - have)
            parts.append(data)
            have += len(data)
        if have == before:
            sys.exit(f"no source bytes in {len(paths)} files")
    return b"".join(parts)


def main():
    tree, lib_dir = sys.argv[1], sys.argv[2]
    files = int(sys.argv[3]) if len(sys.argv) > 3 else FILES
    bytes_per_file = int(sys.argv[4]) if len(sys.argv) > 4 else BYTES_PER_FILE
    per_folder = int(sys.argv[5]) if len(sys.argv) > 5 else PER_FOLDER
    rng = random.Random(SEED)
    raw = [math.exp(rng.uniform(math.log(SMALLEST), math.log(LARGEST))) for _ in range(files)]
    scale = files * bytes_per_file / sum(raw)
    sizes = [max(1, round(r * scale)) for r in raw]
    # Three of every five files binary, two text.
    binary = [i % 5 in (0, 1, 3) for i in range(files)]

    sources = {
        True: first_bytes(sorted_files(lib_dir, lambda n: ".so" in n),
                          sum(s for s, b in zip(sizes, binary) if b)),
        False: first_bytes(sorted_files(TEXT_SOURCE, lambda n: not n.endswith(".gz")),
                           sum(s for s, b in zip(sizes, binary) if not b)),
    }
    taken = {True: 0, False: 0}
    counts = {True: 0, False: 0}
    for i, (size, is_binary) in enumerate(zip(sizes, binary)):
        extensions = BINARY_EXTENSIONS if is_binary else TEXT_EXTENSIONS
        ext = extensions[counts[is_binary] % len(extensions)]
        counts[is_binary] += 1
        folder = "" if per_folder == 0 or i < per_folder else f"teil{i // per_folder}/"
        rel = f"{folder}F{i:04d}{ext}"
        os.makedirs(os.path.join(tree, folder), exist_ok=True)
        start = taken[is_binary]
        with open(os.path.join(tree, rel), "wb") as f:
            f.write(sources[is_binary][start:start + size])
        taken[is_binary] += size
        print(rel)


if __name__ == "__main__":
    main()
