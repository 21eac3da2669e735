#!/usr/bin/env python3
"""Draws the tool bar's own 16x16 icons (res/toolbar/*.png) from the pixel maps below."""
import struct
import sys
import zlib
from pathlib import Path

PALETTE = {
    '.': (0, 0, 0, 0),
    'k': (40, 40, 48, 255),      # outline
    'b': (52, 101, 164, 255),    # disk body
    'l': (114, 159, 207, 255),   # light blue
    'w': (250, 250, 250, 255),   # label
    's': (186, 189, 182, 255),   # shutter
    'g': (78, 154, 6, 255),      # green
    'r': (204, 0, 0, 255),       # red
    'y': (237, 212, 0, 255),     # yellow
    'd': (85, 87, 83, 255),      # dark grey lines
}

FLOPPY = [
    "kkkkkkkkkkkkk...",
    "kbbsssssssbbk...",
    "kbbsssskssbbk...",
    "kbbsssskssbbk...",
    "kbbsssssssbbk...",
    "kbbbbbbbbbbbk...",
    "kbwwwwwwwwwbk...",
    "kbwdddddddwbk...",
    "kbwwwwwwwwwbk...",
    "kbwdddddddwbk...",
    "kbwwwwwwwwwbk...",
    "kkkkkkkkkkkkk...",
    "................",
    "................",
    "................",
    "................",
]


def overlay(base, top):
    rows = [list(r) for r in base]
    for y, row in enumerate(top):
        for x, c in enumerate(row):
            if c != '.' and x < len(rows[y]):
                rows[y][x] = c
    return ["".join(r) for r in rows]


ICONS = {
    # A file leaving the disk: green arrow pointing out at the lower right.
    "extract": overlay(FLOPPY, [
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "...........g....",
        "...........gg...",
        "......ggggggggg.",
        "......gggggggggg",
        "......ggggggggg.",
        "...........gg...",
        "...........g....",
        "................",
        "................",
    ]),
    # A file going onto the disk: a plus.
    "add": overlay(FLOPPY, [
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "...........ggg..",
        "...........ggg..",
        "........gggggggg",
        "........gggggggg",
        "........gggggggg",
        "...........ggg..",
        "...........ggg..",
        "................",
    ]),
    # A file taken off the disk: a red cross.
    "delete": overlay(FLOPPY, [
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "........rr....rr",
        ".........rr..rr.",
        "..........rrrr..",
        "...........rr...",
        "..........rrrr..",
        ".........rr..rr.",
        "........rr....rr",
        "................",
        "................",
    ]),
    "largeicons": [
        "................",
        ".kkkkkk..kkkkkk.",
        ".kllllk..kllllk.",
        ".kllllk..kllllk.",
        ".kllllk..kllllk.",
        ".kkkkkk..kkkkkk.",
        "..dddd....dddd..",
        "................",
        "................",
        ".kkkkkk..kkkkkk.",
        ".kllllk..kllllk.",
        ".kllllk..kllllk.",
        ".kllllk..kllllk.",
        ".kkkkkk..kkkkkk.",
        "..dddd....dddd..",
        "................",
    ],
    "smallicons": [
        "................",
        "................",
        ".kkk.ddd..kkk.dd",
        ".klk......klk...",
        ".kkk......kkk...",
        "................",
        ".kkk.ddd..kkk.dd",
        ".klk......klk...",
        ".kkk......kkk...",
        "................",
        ".kkk.ddd..kkk.dd",
        ".klk......klk...",
        ".kkk......kkk...",
        "................",
        "................",
        "................",
    ],
    "list": [
        "................",
        ".kkk.dddddd.....",
        ".klk............",
        ".kkk............",
        "................",
        ".kkk.dddddd.....",
        ".klk............",
        ".kkk............",
        "................",
        ".kkk.dddddd.....",
        ".klk............",
        ".kkk............",
        "................",
        ".kkk.dddddd.....",
        ".klk............",
        ".kkk............",
    ],
    "details": [
        "kkkkkkkkkkkkkkkk",
        "kllllllkllllllll",
        "kkkkkkkkkkkkkkkk",
        "................",
        ".ddddd..ddd.ddd.",
        "................",
        ".ddddd..ddd.ddd.",
        "................",
        ".ddddd..ddd.ddd.",
        "................",
        ".ddddd..ddd.ddd.",
        "................",
        ".ddddd..ddd.ddd.",
        "................",
        ".ddddd..ddd.ddd.",
        "................",
    ],
}


def png(rows):
    height = len(rows)
    width = max(len(r) for r in rows)
    raw = b""
    for r in rows:
        raw += b"\x00" + b"".join(bytes(PALETTE[c]) for c in r[:width].ljust(width, '.'))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else "res/toolbar")
    out.mkdir(parents=True, exist_ok=True)
    for name, rows in ICONS.items():
        rows = [r[:16] for r in rows][:16]
        (out / f"{name}.png").write_bytes(png(rows))


if __name__ == "__main__":
    main()
