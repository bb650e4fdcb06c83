#!/usr/bin/env python3
"""Writes the PNG fixtures of the loader and cursor tests (see README): each row filter 0,
zlib-compressed, chunk CRCs from zlib. Run from this folder."""
import struct
import zlib


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(name, width, height, depth, colour, rows, extra=b"", interlaced=False, size=None):
    """rows: the packed bytes of each row as stored (for Adam7, of each pass's rows in order)."""
    w, h = size or (width, height)
    header = struct.pack(">IIBBBBB", w, h, depth, colour, 0, 0, int(interlaced))
    data = zlib.compress(b"".join(b"\0" + bytes(r) for r in rows))
    with open(name, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra + chunk(b"IDAT", data) +
                chunk(b"IEND", b""))


def varied(x, y):
    return [(7 * y + 3 * x + c * c) % 256 for c in range(3)]


ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]

png("rgb8.png", 2, 2, 8, 2, [[0xFF, 0x80, 0x40, 0x08, 0x10, 0x18], [0x10, 0x20, 0x30, 0x40, 0x50, 0x60]])
png("rgb16.png", 1, 1, 16, 2, [[0xAB, 0xCD, 7, 0xFF, 0xF8, 0]])
png("grey1.png", 3, 1, 1, 0, [[0xA0]])
png("grey8.png", 1, 1, 8, 0, [[0x80]])
png("palette2.png", 3, 1, 2, 3, [[0x24]], chunk(b"PLTE", bytes([255, 0, 0, 0, 255, 0, 10, 20, 250])))
png("rgba.png", 2, 1, 8, 6, [[255, 0, 0, 128, 16, 32, 48, 255]])
png("bgra.png", 2, 2, 8, 6, [[0x56, 0x34, 0x12, 0xFF, 0, 0, 0, 0], [0, 0, 0, 0, 0xAB, 0xCD, 0xEF, 0xFF]])
png("progressive.png", 9, 9, 8, 2, [sum((varied(x, y) for x in range(9)), []) for y in range(9)])
png("interlaced.png", 9, 9, 8, 2,
    [sum((varied(x, y) for x in range(x0, 9, dx)), []) for x0, y0, dx, dy in ADAM7 if x0 < 9
     for y in range(y0, 9, dy)], interlaced=True)
png("palette_key.png", 1, 1, 8, 3, [[0]], chunk(b"PLTE", bytes([1, 2, 3])) + chunk(b"tRNS", b"\0"))
png("grey_alpha.png", 1, 1, 8, 4, [[0x80, 0x80]])
png("rgb_key.png", 1, 1, 8, 2, [[0, 0, 0]], chunk(b"tRNS", bytes(6)))
png("huge.png", 1, 1, 8, 2, [[255, 0, 0]], size=(100000, 100000))
