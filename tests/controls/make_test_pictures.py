#!/usr/bin/env python3
"""Writes the controls tests' pictures into pictures/: one solid colour per button state, so
that a test knows the chosen picture from one pixel, a framed picture that shows where a
stretch keeps its edges, and a picture with key-coloured corners for a window shape.

    python3 tests/controls/make_test_pictures.py   # then commit pictures/*.bmp with it

The colours are repeated in ControlsWorld.h.
"""

import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pictures")

SOLID = {
    "normal": (200, 0, 0),
    "pressed": (0, 160, 0),
    "hover": (0, 0, 200),
    "checked": (220, 220, 0),
    "disabled": (128, 128, 128),
    "disabled_checked": (0, 200, 200),
}
FRAME, MIDDLE = (0, 0, 128), (255, 200, 0)
KEY, SHAPE = (255, 0, 255), (90, 160, 90)


def write_bmp(name, width, height, pixel):
    """A bottom-up 24-bit BMP; pixel(x, y) gives (r, g, b) with y = 0 at the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = b"".join(bytes(reversed(pixel(x, y))) for x in range(width))
        rows.append(row + b"\0" * (stride - width * 3))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(OUT, name + ".bmp"), "wb") as f:
        f.write(header + info + data)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, colour in SOLID.items():
        write_bmp(name, 18, 18, lambda x, y, c=colour: c)
    write_bmp("framed", 20, 20, lambda x, y: MIDDLE if 5 <= x < 15 and 5 <= y < 15 else FRAME)
    write_bmp("shaped", 20, 12, lambda x, y: KEY if (x < 2 or x >= 18) and (y < 2 or y >= 10) else SHAPE)


if __name__ == "__main__":
    main()
