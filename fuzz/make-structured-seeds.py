#!/usr/bin/env python3
"""Writes the structure-aware seeds of the fuzz corpora: an MZ-2500 2D disk (type 1) whose
root directory is full (62 OBJ files, a sub-directory and a BSD file), whose sub-directory holds
a file and links back to the root and to itself (two directory loops), with the bitmap marking
every body. Random inputs seldom build such a tree; from these seeds the fuzzers start inside it.

    fuzz/make-structured-seeds.py [CORPUS_DIR]    (default: fuzz/corpus beside this script)
"""
import os
import struct
import sys

SECTOR = 256
CYLINDERS = 40
ROOT, BITMAP, SUB = 16, 15, 120
FIRST_DATA = 48


def entry(mode, name, size, start, load=0x1200, exec_=0x1200):
    raw = bytearray(32)
    raw[0] = mode
    text = name.encode("ascii") + b"\r"
    raw[1:1 + len(text)] = text
    struct.pack_into("<HHHIH", raw, 20, size, load, exec_, 0, start)
    return bytes(raw)


def layout():
    """The bytes to write over a freshly formatted type-1 disk: {offset: bytes}."""
    root = b"".join(entry(0x01, "F%02d" % i, 100 + i, FIRST_DATA + i) for i in range(62))
    root += entry(0x0F, "SUB", 0, SUB)
    root += entry(0x03, "TEXT", 300, 110)  # BSD: sectors 110 -> 111
    sub = entry(0x0F, ".", 0, SUB) + entry(0x0F, "..", 0, ROOT)
    sub += entry(0x0F, "UP", 0, ROOT) + entry(0x0F, "SELF", 0, SUB)
    sub += entry(0x01, "IN", 200, 130)
    sub += bytes(32 * 59)

    used = list(range(48, 48 + 62)) + [110, 111] + list(range(SUB, SUB + 8)) + [130]
    bitmap = bytearray(SECTOR)
    struct.pack_into("<BBHH", bitmap, 0, 0x01, FIRST_DATA, len(used), 0x0500)
    for sector in used:
        position = 48 + sector - FIRST_DATA
        bitmap[position // 8] |= 1 << (position % 8)
    chain = bytearray(b"T" * 254) + struct.pack("<H", 111)
    return {
        BITMAP * SECTOR: bytes(bitmap[:6 + 24]),  # header and the bits of positions 48..239
        ROOT * SECTOR: root,
        SUB * SECTOR: sub,
        110 * SECTOR: bytes(chain),
    }


def patches(parts):
    """The fuzz input's patch list: offset u24, length u8, bytes."""
    out = bytearray()
    for offset, data in sorted(parts.items()):
        for at in range(0, len(data), 255):
            piece = data[at:at + 255]
            out += struct.pack("<I", offset + at)[:3] + bytes([len(piece)]) + piece
    return bytes(out)


def make_disk_part(parts):
    data = patches(parts)
    return bytes([3, 1]) + struct.pack("<H", len(data)) + data


def ops_seed(parts):
    # The walk of the looping tree is the slow part of an input; the target walks it before
    # and after the operations, so none of them asks for it again.
    ops = bytearray()
    ops += bytes([0]) + struct.pack("<H", SUB)  # into the sub-directory
    ops += bytes([3, 1]) + struct.pack("<H", 40) + b"x" * 40  # import an OBJ there
    ops += bytes([1, 4])  # remove entry 4 ("IN")
    ops += bytes([0]) + struct.pack("<H", ROOT)
    ops += bytes([3, 3]) + struct.pack("<H", 10) + b"y" * 10  # the full root refuses it
    ops += bytes([1, 63])  # remove the BSD file
    return make_disk_part(parts) + bytes(ops)


def import_seed(parts):
    ops = bytearray()
    name = bytes([0x03]) + b"NEW\r" + bytes(27)
    ops += bytes([0x02]) + struct.pack("<H", SUB)  # set the directory
    ops += bytes([0x01, 3]) + name + struct.pack("<H", 600) + b"z" * 600
    return make_disk_part(parts) + bytes(ops)


def d88_seed(parts):
    """The same disk as a D88 file for the load fuzzer."""
    flat = bytearray(CYLINDERS * 32 * SECTOR)
    for offset, data in parts.items():
        flat[offset:offset + len(data)] = data
    header = bytearray(0x2B0)
    size = 0x2B0 + CYLINDERS * 2 * 16 * (16 + SECTOR)
    struct.pack_into("<I", header, 0x1C, size)
    body = bytearray()
    for cyl in range(CYLINDERS):
        for head in (0, 1):
            struct.pack_into("<I", header, 0x20 + (2 * cyl + head) * 4, 0x2B0 + len(body))
            for rec in range(1, 17):
                body += struct.pack("<BBBBH", cyl, head, rec, 1, 16) + bytes(8)
                body += struct.pack("<H", SECTOR)
                logical = 32 * cyl + 16 * (1 - head) + rec - 1
                body += bytes(b ^ 0xFF for b in flat[logical * SECTOR:(logical + 1) * SECTOR])
    return bytes(header) + bytes(body)


def main():
    corpus = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus")
    parts = layout()
    seeds = {
        "ops_fuzz/tree_full_loop": ops_seed(parts),
        "import_fuzz/tree_full_loop": import_seed(parts),
        "load_fuzz/tree-full-loop.d88": d88_seed(parts),
    }
    for name, data in seeds.items():
        with open(os.path.join(corpus, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
