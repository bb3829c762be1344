#!/usr/bin/env python3
"""Makes the sample payload's stand-in images: a few of the managed application's image files
and the files of its "Images" folder. Small but real pictures, so that a viewer opens them.
Run from anywhere; writes into payload/Application next to this script."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
APP = os.path.join(HERE, "Application")


def pixels(width, height, colour_at):
    return [[colour_at(x, y) for x in range(width)] for y in range(height)]


def disk(cx, cy, r, inside, outside):
    def colour(x, y):
        return inside if (x - cx) ** 2 + (y - cy) ** 2 <= r * r else outside
    return colour


def gradient(top, bottom, height):
    def colour(x, y):
        t = y / max(1, height - 1)
        return tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))
    return colour


def write_bmp(path, rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        body += line + bytes(stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


def write_png(path, rows):
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_gif(path, rows):
    """A GIF with a two-colour palette, uncompressed through LZW clear codes."""
    height, width = len(rows), len(rows[0])
    palette = []
    for row in rows:
        for px in row:
            if px not in palette:
                palette.append(px)
    palette = (palette + [(0, 0, 0)] * 4)[:4]
    indices = [palette.index(px) if px in palette else 0 for row in rows for px in row]
    # 2-bit colour table: minimum code size 2, codes are 3 bits; a clear code every few pixels
    # keeps the code width fixed, which is valid LZW without building a dictionary.
    clear, end = 4, 5
    codes = [clear]
    for i, index in enumerate(indices):
        codes.append(index)
        if i % 2 == 1:
            codes.append(clear)
    codes.append(end)
    bits, nbits, data = 0, 0, bytearray()
    for code in codes:
        bits |= code << nbits
        nbits += 3
        while nbits >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        data.append(bits & 0xFF)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + bytes(data[i:i + 255]) for i in range(0, len(data), 255))
    out = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x81, 0, 0)
    out += b"".join(bytes(c) for c in palette)
    out += b"," + struct.pack("<HHHHB", 0, 0, width, height, 0) + bytes([2]) + blocks + b"\x00;"
    with open(path, "wb") as f:
        f.write(out)


def write_ico(path, rows):
    height, width = len(rows), len(rows[0])
    xor = b"".join(bytes((b, g, r, 255)) for row in reversed(rows) for r, g, b in row)
    mask_stride = ((width + 31) // 32) * 4
    mask = bytes(mask_stride * height)
    dib = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0) + xor + mask
    header = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", width, height, 0, 0, 1, 32, len(dib), 22)
    with open(path, "wb") as f:
        f.write(header + dib)


def main():
    os.makedirs(os.path.join(APP, "Images"), exist_ok=True)
    teal, white, red, amber, navy = (0, 150, 160), (255, 255, 255), (200, 40, 40), (240, 170, 20), (20, 40, 90)
    write_gif(os.path.join(APP, "center.gif"), pixels(16, 16, disk(8, 8, 6, teal, white)))
    write_ico(os.path.join(APP, "Raidlogo.ico"), pixels(32, 32, disk(16, 16, 13, teal, navy)))
    write_png(os.path.join(APP, "Warning.png"), pixels(24, 24, disk(12, 12, 10, amber, white)))
    write_png(os.path.join(APP, "Error.png"), pixels(24, 24, disk(12, 12, 10, red, white)))
    write_png(os.path.join(APP, "Info.png"), pixels(24, 24, disk(12, 12, 10, teal, white)))
    write_bmp(os.path.join(APP, "RaidGUI.bmp"), pixels(64, 48, gradient(teal, navy, 48)))
    write_bmp(os.path.join(APP, "ok_normal.bmp"), pixels(48, 20, gradient((90, 160, 230), (30, 90, 180), 20)))
    write_bmp(os.path.join(APP, "close_normal.bmp"), pixels(16, 16, disk(8, 8, 6, red, navy)))
    write_bmp(os.path.join(APP, "Images", "disk_ok.bmp"), pixels(32, 32, disk(16, 16, 12, teal, white)))
    write_bmp(os.path.join(APP, "Images", "disk_fail.bmp"), pixels(32, 32, disk(16, 16, 12, red, white)))
    write_png(os.path.join(APP, "Images", "banner.png"), pixels(96, 24, gradient(teal, white, 24)))


if __name__ == "__main__":
    main()
