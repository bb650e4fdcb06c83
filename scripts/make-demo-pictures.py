#!/usr/bin/env python3
"""Draws the demo game's pictures (demo/data). Our own work: gradients and simple shapes.

Run from the repository root after changing a picture; the results are committed.
"""
import math
import pathlib
import struct
import zlib

OUT = pathlib.Path(__file__).resolve().parent.parent / "demo" / "data"
W, H = 640, 480


def bmp24(name, w, h, pixel):
    row = (w * 3 + 3) // 4 * 4
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for x in range(w):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        data += line + b"\0" * (row - len(line))
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    (OUT / name).write_bytes(header + info + data)


def bmp8(name, w, h, palette, index):
    row = (w + 3) // 4 * 4
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytes(index(x, y) for x in range(w))
        data += line + b"\0" * (row - len(line))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 54 + len(table)
    header = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(data), 2835, 2835,
                       len(palette), 0)
    (OUT / name).write_bytes(header + info + table + data)


def png(name, w, h, pixel, alpha):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for x in range(w):
            raw += bytes(pixel(x, y)[: 4 if alpha else 3])
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6 if alpha else 2, 0, 0, 0)
    body = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))
    (OUT / name).write_bytes(body)


def lerp(a, b, t):
    return int(a + (b - a) * t)


def sky(x, y):
    t = y / (H - 1)
    r, g, b = lerp(40, 250, t), lerp(90, 190, t), lerp(200, 150, t)
    if (x - 470) ** 2 + (y - 330) ** 2 < 60 ** 2:
        return (255, 235, 140)
    hill = 380 + 30 * math.sin(x / 70.0)
    if y > hill:
        return (lerp(60, 20, (y - hill) / 100), lerp(130, 70, (y - hill) / 100), 60)
    return (r, g, b)


def night(x, y):
    t = y / (H - 1)
    star = (x * 7919 + y * 104729) % 997 == 0
    if star:
        return (255, 255, 230)
    if (x - 160) ** 2 + (y - 110) ** 2 < 40 ** 2 and (x - 178) ** 2 + (y - 100) ** 2 >= 36 ** 2:
        return (250, 245, 200)
    return (lerp(10, 40, t), lerp(10, 30, t), lerp(40, 90, t))


def room_index(x, y):
    if y > 360:
        return 1 + ((x // 40 + y // 20) % 2)  # floor boards
    if 220 < x < 420 and 80 < y < 250:
        return 3 + (1 if (x - 220) % 100 < 4 or (y - 80) % 85 < 4 else 0)  # window
    return 5 + (y // 60) % 2  # wall


ROOM_PALETTE = [(0, 0, 0), (150, 100, 60), (130, 85, 50), (170, 210, 250), (90, 60, 40),
                (235, 225, 200), (225, 212, 185)]


def character(x, y):
    # A round figure on magenta, the colour .spr leaves out (the top-left pixel).
    cx = 80
    if (x - cx) ** 2 + (y - 60) ** 2 < 40 ** 2:
        if (x - cx + 14) ** 2 + (y - 52) ** 2 < 25 or (x - cx - 14) ** 2 + (y - 52) ** 2 < 25:
            return (30, 30, 30)
        return (255, 220, 190)
    if 40 <= x < 120 and 100 <= y < 240 and abs(x - cx) < 20 + (y - 100) // 4:
        return (200, 60, 80)
    return (255, 0, 255)


def glow(x, y):
    d = math.hypot(x - 100, y - 100) / 100.0
    a = int(255 * max(0.0, 1 - d) ** 2)
    return (255, 250, 200, a)


def mark(kind):
    # The wait mark on magenta (its top-left pixel, left out when drawn): a downward triangle
    # for waits that keep the page, a bar under it for waits that clear it.
    def pixel(x, y):
        if kind == 2 and 17 <= y < 20 and 2 <= x < 18:
            return (255, 210, 90)
        if y < 14 and abs(x - 10) <= (14 - y) * 8 // 14 and y >= 2:
            return (255, 240, 160) if y < 6 else (250, 200, 80)
        return (255, 0, 255)
    return pixel


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    bmp24("sky.bmp", W, H, sky)
    png("night.png", W, H, night, False)
    bmp8("room.bmp", W, H, ROOM_PALETTE, room_index)
    bmp24("chara.bmp", 160, 240, character)
    png("glow.png", 200, 200, glow, True)
    bmp24("mark1.bmp", 20, 20, mark(1))
    bmp24("mark2.bmp", 20, 20, mark(2))


if __name__ == "__main__":
    main()
