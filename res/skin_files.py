"""The skin's files: uncompressed Windows bitmaps, the icon, and PNG pictures (written with the
filter of smallest sum per row, and read back for --check)."""

import struct
import zlib

from skin_canvas import clamp

def bmp_bytes(canvas):
    """An uncompressed 24-bit bottom-up Windows bitmap."""
    stride = (canvas.w * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(canvas.rgb_rows()):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def ico_bytes(canvas):
    """One 32-bit DIB image with its AND mask (no PNG entry)."""
    w, h = canvas.w, canvas.h
    rows = canvas.rgb_rows()
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    for y in reversed(range(h)):
        bits = bytearray(mask_stride)
        for x in range(w):
            a = int(round(clamp(canvas.alpha[y * w + x]) * 255))
            r, g, b = rows[y][x] if a else (0, 0, 0)
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w, h, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def png_filtered_rows(rows):
    """Each row with the filter of smallest absolute sum, as encoders commonly choose."""
    out = bytearray()
    prev = bytes(len(rows[0]))
    for row in rows:
        n = len(row)
        left = bytes(3) + row[:-3]
        upleft = bytes(3) + prev[:-3]
        candidates = (
            (0, row),
            (1, bytes((row[i] - left[i]) & 0xFF for i in range(n))),
            (2, bytes((row[i] - prev[i]) & 0xFF for i in range(n))),
            (3, bytes((row[i] - ((left[i] + prev[i]) >> 1)) & 0xFF for i in range(n))),
            (4, bytes((row[i] - paeth(left[i], prev[i], upleft[i])) & 0xFF for i in range(n))),
        )
        kind, data = min(candidates, key=lambda c: sum(v if v < 128 else 256 - v for v in c[1]))
        out.append(kind)
        out += data
        prev = row
    return bytes(out)


def rgb_bytes(canvas):
    return [bytes(v for p in row for v in p) for row in canvas.rgb_rows()]


def png_bytes(canvas):
    """A 24-bit PNG, which the Windows imaging component decodes."""
    header = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 2, 0, 0, 0)
    data = zlib.compress(png_filtered_rows(rgb_bytes(canvas)), 9)
    return PNG_SIGNATURE + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", data) + png_chunk(b"IEND", b"")


def png_rgb_rows(data):
    """The rows of a 24-bit PNG written by png_bytes, unfiltered; None when it is not one."""
    if not data.startswith(PNG_SIGNATURE):
        return None
    at, idat, size = len(PNG_SIGNATURE), b"", None
    while at + 8 <= len(data):
        length, kind = struct.unpack_from(">I4s", data, at)
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            size = struct.unpack_from(">II", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    if not size:
        return None
    w, h = size
    raw = zlib.decompress(idat)
    stride = w * 3
    rows, prev = [], bytearray(stride)
    for y in range(h):
        kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - 3] if i >= 3 else 0
            b = prev[i]
            c = prev[i - 3] if i >= 3 else 0
            row[i] = (row[i] + (0, a, b, (a + b) >> 1, paeth(a, b, c))[kind]) & 0xFF
        rows.append(bytes(row))
        prev = row
    return rows
