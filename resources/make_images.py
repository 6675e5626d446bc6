#!/usr/bin/env python3
"""Draws the built-in scheme pictures and writes them as BMP files beside this script.

Run it again after changing a picture; the BMP files are committed and compiled into the program.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def rgb(h):
    return ((h >> 16) & 255, (h >> 8) & 255, h & 255)


def write_bmp24(name, pixels):
    h, w = len(pixels), len(pixels[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(header + info + data)


def write_bmp8(name, pixels):
    """Writes an 8-bit palette BMP; the palette is built from the colours used (at most 256)."""
    h, w = len(pixels), len(pixels[0])
    palette = []
    index = {}
    for row in pixels:
        for c in row:
            if c not in index:
                index[c] = len(palette)
                palette.append(c)
    assert len(palette) <= 256, name
    stride = (w + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray(index[c] for c in row)
        line += b"\0" * (stride - len(line))
        data += line
    pal = bytearray()
    for r, g, b in palette:
        pal += bytes((b, g, r, 0))
    pal += b"\0" * (4 * (256 - len(palette)))
    offset = 54 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(header + info + pal + data)


def canvas(w, h, colour):
    return [[colour] * w for _ in range(h)]


FACE = rgb(0xC6C3C6)
LIGHT = rgb(0xFFFFFF)
SHADOW = rgb(0x848284)
DARK = rgb(0x424142)
BLACK = rgb(0x000000)
TROUGH = rgb(0xADAAAD)

# The bar body: the same 13 rows in every column.
BAR_ROWS = [rgb(x) for x in (0xADAAAD, 0x000000, 0x6365CE, 0x9C9AFF, 0xCECFFF, 0xEFEFEF,
                             0xCECFFF, 0x9C9AFF, 0x6365CE, 0x31309C, 0x00008C, 0x000000,
                             0xFFFFFF)]


def darker(c, f):
    return tuple(int(v * f) for v in c)


def back():
    p = canvas(177, 21, FACE)
    for x in range(177):
        p[0][x] = BLACK
        p[20][x] = BLACK
        p[1][x] = LIGHT
        p[19][x] = SHADOW
    for y in range(21):
        p[y][0] = BLACK
        p[y][176] = BLACK
        if 1 <= y <= 19:
            p[y][1] = LIGHT
            p[y][175] = SHADOW
    p[1][175] = LIGHT
    p[19][1] = SHADOW
    # Grip dots: three columns of raised dots at each end.
    for gx in (4, 8, 164, 168, 172):
        for gy in range(4, 17, 3):
            if gx + 1 < 176:
                p[gy][gx] = LIGHT
                p[gy + 1][gx + 1] = SHADOW
    # The sunken trough, x 16..160, y 4..16, framed in black.
    for x in range(16, 161):
        for y in range(4, 17):
            p[y][x] = TROUGH
    for x in range(16, 161):
        p[4][x] = TROUGH
        p[5][x] = BLACK
        p[15][x] = BLACK
        p[16][x] = LIGHT
    for y in range(5, 16):
        p[y][16] = BLACK
        p[y][159] = BLACK
        p[y][160] = LIGHT
    return p


def bar():
    return [[BAR_ROWS[y]] * 136 for y in range(13)]


def bbar():
    p = [[BAR_ROWS[y]] * 4 for y in range(13)]
    for y in range(13):
        p[y][0] = BAR_ROWS[y] if y in (0, 12) else BLACK
    return p


def ebar():
    p = canvas(6, 13, TROUGH)
    for y in range(13):
        p[y][0] = darker(BAR_ROWS[y], 0.85) if 1 < y < 11 else BAR_ROWS[y]
        p[y][1] = darker(BAR_ROWS[y], 0.7) if 1 < y < 11 else BAR_ROWS[y]
        p[y][2] = darker(BAR_ROWS[y], 0.55) if 1 < y < 11 else BAR_ROWS[y]
        p[y][3] = BAR_ROWS[y] if y in (0, 12) else BLACK
        p[y][4] = SHADOW if 0 < y < 12 else BAR_ROWS[y]
        p[y][5] = rgb(0x9C9A9C) if 0 < y < 12 else BAR_ROWS[y]
    return p


def cache():
    # Black frame line, see-through white, light grey.
    white = rgb(0xFFFFFF)
    return [[BLACK if 0 < y < 12 else TROUGH, white, LIGHT if y == 12 else FACE]
            for y in range(13)]


def details():
    p = canvas(177, 73, FACE)
    for x in range(177):
        p[0][x] = LIGHT
        p[72][x] = DARK
    for y in range(73):
        p[y][0] = LIGHT
        p[y][176] = DARK
    # Close box at 1,1, 12 x 12, with a cross.
    for i in range(12):
        p[1][1 + i] = LIGHT
        p[1 + i][1] = LIGHT
        p[12][1 + i] = DARK
        p[1 + i][12] = DARK
    for i in range(3, 9):
        p[1 + i][1 + i] = BLACK
        p[1 + i][1 + 11 - i] = BLACK
    # Dotted title strip at 13,2, 164 x 10.
    for y in range(3, 11, 2):
        for x in range(15 + (y // 2) % 2, 175, 3):
            p[y][x] = SHADOW
            if x + 1 < 176 and y + 1 < 72:
                p[y + 1][x + 1] = LIGHT
    # Sunken field below.
    for y in range(16, 69):
        for x in range(5, 172):
            p[y][x] = rgb(0xD6D3D6)
    for x in range(5, 172):
        p[16][x] = SHADOW
        p[68][x] = LIGHT
    for y in range(16, 69):
        p[y][5] = SHADOW
        p[y][171] = LIGHT
    return p


write_bmp24("back.bmp", back())
write_bmp24("bar.bmp", bar())
write_bmp24("bbar.bmp", bbar())
write_bmp24("ebar.bmp", ebar())
write_bmp24("cache.bmp", cache())
write_bmp8("details.bmp", details())


def icon():
    # 16 x 16: a small blue bar in a grey frame.
    p = canvas(16, 16, rgb(0xC6C3C6))
    for i in range(16):
        p[0][i] = p[15][i] = p[i][0] = p[i][15] = rgb(0x424142)
    for i in range(1, 15):
        p[1][i] = p[i][1] = LIGHT
        p[14][i] = p[i][14] = SHADOW
    for y in range(4, 12):
        for x in range(3, 13):
            p[y][x] = BLACK if y in (4, 11) or x in (3, 12) else rgb(0xADAAAD)
    blues = [0x6365CE, 0x9C9AFF, 0xCECFFF, 0x9C9AFF, 0x6365CE, 0x00008C]
    for y in range(5, 11):
        for x in range(4, 10):
            p[y][x] = rgb(blues[y - 5])
    return p


write_bmp24("icon16.bmp", icon())
