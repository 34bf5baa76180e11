#!/usr/bin/env python3
"""Draws the suite's resource pictures (toolbox bitmaps and the like) as Windows BMP files.

Every picture is drawn here from simple shapes; nothing is copied from elsewhere.
Usage: resgen.py OUTDIR NAME...   (names listed in PICTURES)
"""
import struct
import sys
from pathlib import Path

# Colours as (r, g, b).
FACE = (0xD4, 0xD0, 0xC8)
DARK = (0x40, 0x40, 0x40)
BAR = (0x00, 0x3A, 0x87)
LIGHT = (0xFF, 0xFF, 0xFF)
TROUGH = (0xD8, 0xD9, 0xDE)


def bmp(width, height, pixel):
    """A bottom-up 24-bit BMP of pixel(x, y) -> (r, g, b)."""
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += b"\0" * (row - width * 3)
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def progress_toolbox(x, y):
    """16x15 toolbox picture: a framed bar, two thirds filled, lighter at the top."""
    if y < 4 or y > 10 or x > 14:
        return FACE
    if y in (4, 10) or x in (0, 14):
        return DARK
    if x <= 9:
        return LIGHT if y == 5 else BAR
    return TROUGH


PICTURES = {
    "progressbar_toolbox.bmp": (16, 15, progress_toolbox),
}


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name in sys.argv[2:] or PICTURES:
        width, height, pixel = PICTURES[name]
        (out / name).write_bytes(bmp(width, height, pixel))


if __name__ == "__main__":
    main()
