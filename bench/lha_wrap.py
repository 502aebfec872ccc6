#!/usr/bin/env python3
"""Wraps the coded stream of a "!HZL" file in a minimal level-0 LHA archive
with one "-lh1-" member, so an LHA tool decodes exactly the same bit stream.

usage: lha_wrap.py PACKED ORIGINAL ARCHIVE
"""
import struct
import sys


def crc16(data: bytes) -> int:
    # LHA's CRC-16: polynomial 0x8005 reflected (0xA001), initial value 0.
    table = []
    for i in range(256):
        c = i
        for _ in range(8):
            c = (c >> 1) ^ 0xA001 if c & 1 else c >> 1
        table.append(c)
    crc = 0
    for b in data:
        crc = (crc >> 8) ^ table[(crc ^ b) & 0xFF]
    return crc


def main() -> None:
    packed_path, original_path, archive_path = sys.argv[1:4]
    packed = open(packed_path, "rb").read()
    original = open(original_path, "rb").read()
    if packed[:4] != b"!HZL":
        sys.exit(f"{packed_path}: not a compressed file")
    coded = packed[8:]
    name = b"data"
    # Level-0 header: size, checksum, method, sizes, DOS time, attribute,
    # level, name, CRC-16 of the original.
    body = (b"-lh1-" + struct.pack("<IIIBB", len(coded), len(original), 0x21000000, 0x20, 0)
            + bytes([len(name)]) + name + struct.pack("<H", crc16(original)))
    header = bytes([len(body), sum(body) & 0xFF]) + body
    with open(archive_path, "wb") as f:
        f.write(header + coded + b"\0")


if __name__ == "__main__":
    main()
