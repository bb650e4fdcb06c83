#!/usr/bin/env python3
"""Writes the BMP, K16, GIF and cursor fixtures of the loader and cursor tests (see README): every
field little-endian, rows bottom-up and padded to 4 bytes. Run from this folder."""
import struct


def le(*values, size=4):
    return b"".join(v.to_bytes(size, "little", signed=v < 0) for v in values)


def rows(width, height, bits, pixels):
    """pixels: values top row first; below 8 bits, indices packed from the high bits."""
    out = b""
    order = range(abs(height)) if height < 0 else reversed(range(height))
    for y in order:
        row = bytearray()
        for x in range(width):
            v = pixels[y * width + x]
            if bits >= 8:
                row += le(v, size=bits // 8)
            else:
                if x * bits % 8 == 0:
                    row.append(0)
                row[-1] |= v << (8 - bits - x * bits % 8)
        out += bytes(row) + bytes(-len(row) % 4)
    return out


def info(width, height, bits, compression=0, used=0, size=0):
    return le(40, width, height) + le(1, bits, size=2) + le(compression, size, 2835, 2835, used, 0)


def table(colours):
    return b"".join(le(c) for c in colours)


def bmp(name, width, height, bits, pixels, compression=0, extra=b"", used=0):
    """pixels: the pixel bytes as stored; extra: bit-field masks or colour table."""
    head = info(width, height, bits, compression, used, len(pixels)) + extra
    write(name, b"BM" + le(14 + len(head) + len(pixels), 0, 14 + len(head)) + head + pixels)


def k16(name, width, height, depth, palette, pixels):
    write(name, b"K16" + bytes(5) + le(28 + len(palette), 0, width, height, depth) + palette + pixels)


def dib(width, height, bits, palette, values, mask):
    """A cursor picture: colours then AND mask, both bottom-up, under one doubled height."""
    return (info(width, 2 * height, bits, 0, len(palette)) + table(palette) +
            rows(width, height, bits, values) + rows(width, height, 1, mask))


def uniform(width, height, bits, rgb):
    """One colour (palette index 1 up to 8 bits) under a clear mask."""
    n = width * height
    palette = [0, rgb] if bits <= 8 else []
    return dib(width, height, bits, palette, [1 if bits <= 8 else rgb] * n, [0] * n)


def cur(name, *entries):
    """entries: (picture bytes, hotspot x, hotspot y)."""
    head, body, offset = le(0, 2, len(entries), size=2), b"", 6 + 16 * len(entries)
    for image, x, y in entries:
        head += b"\x20\x20\0\0" + le(x, y, size=2) + le(len(image), offset + len(body))
        body += image
    write(name, head + body)


def write(name, data):
    with open(name, "wb") as f:
        f.write(data)


GREY = [i * 0x010101 for i in range(256)]

# Loaders: pictures taken.
bmp("pal1.bmp", 9, 2, 1, rows(9, 2, 1, [1, 0, 1, 1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1]),
    extra=table([0x0000FF, 0xFFFFFF]))
bmp("pal4.bmp", 3, 1, 4, rows(3, 1, 4, [1, 9, 12]), extra=table([i * 0x101010 for i in range(10)]), used=10)
bmp("pal8.bmp", 2, 1, 8, rows(2, 1, 8, [16, 200]), extra=table(GREY))
bmp("pal8_200.bmp", 2, 1, 8, rows(2, 1, 8, [199, 200]), extra=table(GREY[:200]), used=200)
bmp("rgb24.bmp", 3, 1, 24, rows(3, 1, 24, [0xFF8040, 0x123456, 0x070707]))
bmp("rgb555.bmp", 3, 1, 16, rows(3, 1, 16, [0xFC10, 0x8000 | 0x3FF, 0x0001]))
bmp("rgb565.bmp", 3, 1, 16, rows(3, 1, 16, [0xF800, 0x0420, 0x001F]), 3,
    table([0xF800, 0x07E0, 0x001F]))
bmp("rgb444.bmp", 3, 1, 16, rows(3, 1, 16, [0x0F00, 0x0080, 0x0001]), 3,
    table([0x0F00, 0x00F0, 0x000F]))
bmp("rle8.bmp", 4, 4, 8, bytes([
    4, 1, 0, 0,        # bottom row: four of index 1, end of line
    0, 3, 2, 3, 1, 0,  # absolute 2, 3, 1 and a pad byte
    1, 2, 0, 0,        # one of index 2, end of line
    0, 2, 1, 0, 2, 3,  # delta right 1; two of index 3
    0, 2, 0, 1, 1, 1,  # delta up 1 (x stays at 3); one of index 1
    0, 1]),            # end of bitmap
    1, table([0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF]), 4)
bmp("rle4.bmp", 5, 2, 4, bytes([
    5, 0x12, 0, 0,              # 1, 2, 1, 2, 1; end of line
    0, 5, 0x34, 0x56, 0x70, 0,  # absolute 3, 4, 5, 6, 7 (three bytes and a pad)
    0, 1]),                     # end of bitmap
    2, table(GREY[::17]))
bmp("argb.bmp", 2, 2, 32, rows(2, 2, 32, [0x800000FF, 0xFF181008, 0x10FF0000, 0x2000FF00]))
bmp("topdown.bmp", 2, -2, 24, rows(2, -2, 24, [0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF]))
k16("pal8.k16", 3, 2, 8, b"".join(le(0x8000 | (i * 131) & 0x7FFF, size=2) for i in range(256)),
    bytes([0, 1, 255, 238, 128, 127, 2, 238]))
k16("rgb16.k16", 3, 2, 16, b"",
    le(0x7C00, 0x03E0, 0x801F, 0xEEEE, 0x1234, 0x0001, 0x4321, 0xEEEE, size=2) + bytes(8))
k16("size_only.k16", 2, 1, 24, b"\x77" * 24, b"")

# Loaders: pictures refused.
write("short.bmp", b"BM" + bytes(51))
bmp("rows_missing.bmp", 4, 100, 24, b"\x40" * 24)
bmp("absurd_width.bmp", 1 << 30, 1, 24, bytes(64))
bmp("table_short.bmp", 1, 1, 8, b"", extra=table([0xFF0000, 0x00FF00]))
bmp("rows32_missing.bmp", 3, 3, 32, bytes(35))
bmp("rle8_24bit.bmp", 1, 1, 24, bytes([1, 0, 0, 1]), 1)
bmp("topdown1.bmp", 1, -1, 24, b"abcd")
bmp("huge.bmp", 100000, 100000, 8, bytes(900), 1, table([0xFF0000]))
k16("rows_missing.k16", 3, 1000, 16, b"", bytes(36))
k16("palette_short.k16", 3, 1, 8, bytes(40), b"")

# Cursors: one picture each, the hotspot at its last pixel.
cur("cur1.cur", (dib(9, 2, 1, [0, 0xFFFFFF],
                     [1, 0, 1, 1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1],
                     [0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0]), 8, 1))
cur("cur4.cur", (dib(4, 1, 4, [0, 0x123456, 0xABCDEF], [1, 2, 5, 5], [0, 0, 1, 0]), 3, 0))
cur("cur8.cur", (dib(2, 1, 8, GREY, [200, 7], [0, 1]), 1, 0))
cur("cur24.cur", (dib(2, 2, 24, [], [0x102030, 0, 0xFFFFFF, 0], [1, 1, 0, 0]), 1, 1))
cur("cur32a.cur", (dib(3, 1, 32, [], [0x80102030, 0, 0x00FFFFFF], [1, 1, 0]), 2, 0))
cur("cur32.cur", (dib(2, 1, 32, [], [0x102030, 0], [0, 1]), 1, 0))
# Several pictures: the one nearest 32 x 32, then the deepest; a broken one is passed over.
deep = uniform(32, 32, 24, 0x445566)
cur("pick.cur", (deep, 3, 5), (uniform(16, 16, 8, 0x112233), 1, 1),
    (uniform(32, 32, 1, 0xFFFFFF), 2, 2))
cur("pick_broken.cur", (deep[:14] + b"\x10" + deep[15:], 3, 5), (uniform(16, 16, 8, 0x112233), 1, 1))
# The file the refusal test truncates and damages; and a 4-bit picture listing 17 colours.
cur("good.cur", (uniform(32, 32, 32, 0x80123456), 0, 0))
many = uniform(8, 8, 4, 0x123456) + bytes(60)
cur("colours17.cur", (many[:32] + le(17) + many[36:], 0, 0))
# A PNG picture in a cursor file, whole and cut short (bgra.png comes from make_pngs.py).
with open("bgra.png", "rb") as f:
    png = f.read()
cur("png.cur", (png, 1, 1))
cur("png_cut.cur", (png[:-20], 0, 0))
# A 1 x 1 picture whose pixels are said to start past the end, or whose header is 12 bytes long.
bmp("offset_past_end.bmp", 1, 1, 24, b"abcd")
with open("offset_past_end.bmp", "r+b") as f:
    f.seek(10)
    f.write(b"\x70")
bmp("header12.bmp", 1, 1, 24, b"abcd")
with open("header12.bmp", "r+b") as f:
    f.seek(14)
    f.write(b"\x0c")
# GIF: 2 x 1, global palette red and blue, LZW codes clear, 0, 1, end; and the same bytes
# declaring 30000 x 30000.
GIF = (b"GIF89a%s\x80\x00\x00\xFF\x00\x00\x00\x00\xFF\x2C\x00\x00\x00\x00%s"
       b"\x00\x02\x02\x44\x0A\x00\x3B")
write("a.gif", GIF % (le(2, 1, size=2), le(2, 1, size=2)))
write("huge.gif", GIF % (le(30000, 30000, size=2), le(30000, 30000, size=2)))
