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
    # Black frame line, see-through white, light grey. The picture's bottom-left pixel gives
    # the colour that is not drawn, so it is white: the white column shows what lies beneath.
    white = rgb(0xFFFFFF)
    return [[BLACK if 0 < y < 12 else (TROUGH if y == 0 else white), white, FACE]
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


# The notification-area icon: a small blue bar in a grey frame, drawn pixel by pixel for each
# size so that it stays sharp where a tray asks for 22 or 24 pixels, in at most 16 colours.
# Larger sizes and a scalable drawing are for desktop menus and launchers.
ICON_SIZES = (16, 22, 24, 32, 48)
ICON_PAD = {16: 0, 22: 1, 24: 1, 32: 2, 48: 3}
ICON_BLUES = BAR_ROWS[2:11]
ICON_OUTLINE = DARK


def icon_geometry(size):
    """Frame box, bevel width, trough rectangle and bar width for one size."""
    pad = ICON_PAD[size]
    box = size - 2 * pad
    bevel = 1 if box < 28 else 2
    height = int(box * 3 / 8 + 0.5)
    top = pad + (box - height) // 2
    bottom = top + height - 1
    left = pad + int(box * 3 / 16 + 0.5)
    right = size - 1 - (left - pad) - pad
    bar = int((right - left - 1) * 0.7 + 0.5)
    return pad, box, bevel, (left, top, right, bottom), bar


def icon(size):
    """Rows of colours (None is see-through)."""
    pad, box, bevel, (left, top, right, bottom), bar = icon_geometry(size)
    p = [[None] * size for _ in range(size)]
    lo, hi = pad, size - 1 - pad
    for y in range(lo, hi + 1):
        for x in range(lo, hi + 1):
            p[y][x] = FACE
    for i in range(lo, hi + 1):
        p[lo][i] = p[hi][i] = p[i][lo] = p[i][hi] = ICON_OUTLINE
    for b in range(1, bevel + 1):
        for i in range(lo + b, hi - b + 1):
            p[lo + b][i] = p[i][lo + b] = LIGHT
            p[hi - b][i] = p[i][hi - b] = SHADOW
    if box >= 28:
        # A sunken edge around the trough.
        for x in range(left - 1, right + 2):
            p[top - 1][x] = SHADOW
            p[bottom + 1][x] = LIGHT
        for y in range(top - 1, bottom + 2):
            p[y][left - 1] = SHADOW
            p[y][right + 1] = LIGHT
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = y in (top, bottom) or x in (left, right)
            p[y][x] = BLACK if edge else TROUGH
    rows = bottom - top - 1
    for r in range(rows):
        blue = ICON_BLUES[int(r * (len(ICON_BLUES) - 1) / (rows - 1) + 0.5)]
        for x in range(left + 1, left + 1 + bar):
            p[top + 1 + r][x] = blue
        if left + 1 + bar < right:
            p[top + 1 + r][left + 1 + bar] = BLACK
    return p


# ---------------------------------------------------------------------------------------------
# Artwork of the preferences banner and the about logo: pixel letters, smoothed when enlarged,
# on drawn gradients. Colours are reduced to a 256-entry palette before writing.

# 5 x 7 capitals and digits; "X" is ink.
FONT5 = {
    "A": [".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"],
    "B": ["XXXX.", "X...X", "X...X", "XXXX.", "X...X", "X...X", "XXXX."],
    "C": [".XXX.", "X...X", "X....", "X....", "X....", "X...X", ".XXX."],
    "D": ["XXXX.", "X...X", "X...X", "X...X", "X...X", "X...X", "XXXX."],
    "E": ["XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "XXXXX"],
    "F": ["XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "X...."],
    "G": [".XXX.", "X...X", "X....", "X.XXX", "X...X", "X...X", ".XXXX"],
    "H": ["X...X", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"],
    "I": ["XXX", ".X.", ".X.", ".X.", ".X.", ".X.", "XXX"],
    "K": ["X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"],
    "L": ["X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"],
    "M": ["X...X", "XX.XX", "X.X.X", "X.X.X", "X...X", "X...X", "X...X"],
    "N": ["X...X", "X...X", "XX..X", "X.X.X", "X..XX", "X...X", "X...X"],
    "O": [".XXX.", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."],
    "P": ["XXXX.", "X...X", "X...X", "XXXX.", "X....", "X....", "X...."],
    "Q": [".XXX.", "X...X", "X...X", "X...X", "X.X.X", "X..X.", ".XX.X"],
    "R": ["XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"],
    "S": [".XXXX", "X....", "X....", ".XXX.", "....X", "....X", "XXXX."],
    "T": ["XXXXX", "..X..", "..X..", "..X..", "..X..", "..X..", "..X.."],
    "U": ["X...X", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."],
    "V": ["X...X", "X...X", "X...X", "X...X", "X...X", ".X.X.", "..X.."],
    "W": ["X...X", "X...X", "X...X", "X.X.X", "X.X.X", "X.X.X", ".X.X."],
    "Y": ["X...X", "X...X", ".X.X.", "..X..", "..X..", "..X..", "..X.."],
    "0": [".XXX.", "X...X", "X..XX", "X.X.X", "XX..X", "X...X", ".XXX."],
    "2": [".XXX.", "X...X", "....X", "...X.", "..X..", ".X...", "XXXXX"],
    ".": [".", ".", ".", ".", ".", ".", "X"],
    " ": ["..", "..", "..", "..", "..", "..", ".."],
}

# The product name in mixed case, 7 rows, drawn enlarged three times.
TITLE_FONT = {
    "V": ["X...X", "X...X", "X...X", "X...X", ".X.X.", ".X.X.", "..X.."],
    "a": [".....", ".....", ".XXX.", "....X", ".XXXX", "X...X", ".XXXX"],
    "n": [".....", ".....", "XXXX.", "X...X", "X...X", "X...X", "X...X"],
    "t": [".X..", ".X..", "XXXX", ".X..", ".X..", ".X..", "..XX"],
    "r": ["....", "....", "X.XX", "XX..", "X...", "X...", "X..."],
    "e": [".....", ".....", ".XXX.", "X...X", "XXXXX", "X....", ".XXXX"],
    "l": ["XX.", ".X.", ".X.", ".X.", ".X.", ".X.", "..X"],
}


def text_mask(text, font, spacing=1):
    """The ink of a text as rows of booleans."""
    rows = [[] for _ in range(7)]
    for i, ch in enumerate(text):
        glyph = font[ch]
        for y in range(7):
            rows[y] += [c == "X" for c in glyph[y]]
            if i + 1 < len(text):
                rows[y] += [False] * spacing
    return rows


def scale2x(mask):
    h, w = len(mask), len(mask[0])

    def at(x, y):
        return mask[min(max(y, 0), h - 1)][min(max(x, 0), w - 1)]

    out = [[False] * (w * 2) for _ in range(h * 2)]
    for y in range(h):
        for x in range(w):
            b, d, e, f, hh = at(x, y - 1), at(x - 1, y), at(x, y), at(x + 1, y), at(x, y + 1)
            out[2 * y][2 * x] = d if (d == b and b != f and d != hh) else e
            out[2 * y][2 * x + 1] = f if (b == f and b != d and f != hh) else e
            out[2 * y + 1][2 * x] = d if (d == hh and d != b and hh != f) else e
            out[2 * y + 1][2 * x + 1] = f if (hh == f and d != hh and b != f) else e
    return out


def scale3x(mask):
    h, w = len(mask), len(mask[0])

    def at(x, y):
        return mask[min(max(y, 0), h - 1)][min(max(x, 0), w - 1)]

    out = [[False] * (w * 3) for _ in range(h * 3)]
    for y in range(h):
        for x in range(w):
            a, b, c = at(x - 1, y - 1), at(x, y - 1), at(x + 1, y - 1)
            d, e, f = at(x - 1, y), at(x, y), at(x + 1, y)
            g, hh, i = at(x - 1, y + 1), at(x, y + 1), at(x + 1, y + 1)
            db = d == b and b != f and d != hh
            bf = b == f and b != d and f != hh
            dh = d == hh and d != b and hh != f
            hf = hh == f and d != hh and b != f
            block = [
                d if db else e,
                b if (db and e != c) or (bf and e != a) else e,
                f if bf else e,
                d if (db and e != g) or (dh and e != a) else e,
                e,
                f if (bf and e != i) or (hf and e != c) else e,
                d if dh else e,
                hh if (dh and e != i) or (hf and e != g) else e,
                f if hf else e,
            ]
            for k, v in enumerate(block):
                out[3 * y + k // 3][3 * x + k % 3] = v
    return out


def mix(c1, c2, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c1, c2))


def noise(x, y, seed=0):
    """A repeatable value in 0..1 for a pixel."""
    n = (x * 374761393 + y * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((n ^ (n >> 16)) & 0xFFFF) / 65535.0


def stamp(p, mask, left, top, colour_at):
    for y, row in enumerate(mask):
        for x, ink in enumerate(row):
            if ink and 0 <= top + y < len(p) and 0 <= left + x < len(p[0]):
                p[top + y][left + x] = colour_at(x, y)


def outline_of(mask, grow=1):
    """The pixels around the ink (8-neighbourhood), as a mask of the same size plus a margin."""
    h, w = len(mask), len(mask[0])
    out = [[False] * (w + 2 * grow) for _ in range(h + 2 * grow)]
    for y in range(h):
        for x in range(w):
            if mask[y][x]:
                for dy in range(-grow, grow + 1):
                    for dx in range(-grow, grow + 1):
                        out[y + grow + dy][x + grow + dx] = True
    for y in range(h):
        for x in range(w):
            if mask[y][x]:
                out[y + grow][x + grow] = False
    return out


def reduce_colours(p, limit=256):
    """Rounds the channels ever more coarsely until the picture holds at most limit colours."""
    step = 1
    while True:
        q = [[tuple(min(255, (v + step // 2) // step * step) for v in c) for c in row]
             for row in p]
        if len({c for row in q for c in row}) <= limit:
            return q
        step += 1


def bar_gauge(p, left, top, width, filled):
    """A small picture of the bar itself: a framed trough with the blue body and its end cap."""
    for x in range(left - 1, left + width + 2):
        p[top - 1][x] = mix(p[top - 1][x], BLACK, 0.45)
        p[top + 13][x] = mix(p[top + 13][x], LIGHT, 0.35)
    for y in range(top, top + 13):
        p[y][left - 1] = mix(p[y][left - 1], BLACK, 0.45)
        p[y][left + width + 1] = mix(p[y][left + width + 1], LIGHT, 0.35)
        for x in range(left, left + width + 1):
            p[y][x] = TROUGH
    for y in range(13):
        p[top + y][left] = BAR_ROWS[y] if y in (0, 12) else BLACK
        p[top + y][left + width] = BAR_ROWS[y] if y in (0, 12) else BLACK
        for x in range(left + 1, left + filled):
            p[top + y][x] = BAR_ROWS[y]
        for k, f in enumerate((0.85, 0.7, 0.55)):
            p[top + y][left + filled + k] = darker(BAR_ROWS[y], f) if 1 < y < 11 else BAR_ROWS[y]
        p[top + y][left + filled + 3] = BAR_ROWS[y] if y in (0, 12) else BLACK
    for x in range(left, left + width + 1):
        p[top][x] = TROUGH
        p[top + 1][x] = BLACK
        p[top + 11][x] = BLACK
        p[top + 12][x] = LIGHT


def banner():
    w, h = 375, 42
    top_blue, mid_blue, low_blue = (36, 84, 178), (16, 48, 132), (6, 18, 70)
    p = canvas(w, h, BLACK)
    for y in range(h):
        t = y / (h - 1)
        base = mix(top_blue, mid_blue, t / 0.55) if t < 0.55 else mix(mid_blue, low_blue,
                                                                         (t - 0.55) / 0.45)
        for x in range(w):
            c = base
            # Fine diagonal weave with a little grain, fading towards the right.
            if (x + y) % 4 == 0:
                c = mix(c, (120, 160, 235), 0.18)
            elif (x - y) % 6 == 0:
                c = mix(c, (0, 0, 30), 0.22)
            c = mix(c, (0, 0, 0), 0.12 * noise(x, y) + 0.18 * (x / w))
            p[y][x] = c
    # A soft glow behind the name.
    for y in range(h):
        for x in range(0, 200):
            d = ((x - 70) / 95.0) ** 2 + ((y - 19) / 24.0) ** 2
            if d < 1:
                p[y][x] = mix(p[y][x], (90, 140, 230), 0.35 * (1 - d) ** 2)
    # Bright top edge, dark bottom edge.
    for x in range(w):
        p[0][x] = mix(p[0][x], LIGHT, 0.55)
        p[1][x] = mix(p[1][x], LIGHT, 0.2)
        p[h - 1][x] = mix(p[h - 1][x], BLACK, 0.6)

    title = scale3x(text_mask("Vantrel", TITLE_FONT, spacing=1))
    tl, tt = 14, 5
    ring = outline_of(title)
    stamp(p, title, tl + 3, tt + 3, lambda x, y: mix(p[tt + 3 + y][tl + 3 + x], BLACK, 0.55))
    stamp(p, ring, tl - 1, tt - 1, lambda x, y: (4, 14, 52))
    stamp(p, title, tl, tt,
          lambda x, y: mix((255, 255, 255), (150, 190, 255), y / (len(title) - 1)))
    # Highlight along the top of each stroke.
    for y in range(1, len(title)):
        for x in range(len(title[0])):
            if title[y][x] and not title[y - 1][x]:
                p[tt + y][tl + x] = (255, 255, 255)

    sub = text_mask("MEMORY LOAD MONITOR", FONT5, spacing=1)
    stamp(p, sub, tl + 1, 31 + 1, lambda x, y: (4, 14, 52))
    stamp(p, sub, tl, 31, lambda x, y: (170, 200, 250))

    bar_gauge(p, 248, 15, 108, 70)
    ver = text_mask("2.02", FONT5, spacing=1)
    stamp(p, ver, 356 - len(ver[0]) + 1, 31 + 1, lambda x, y: (4, 14, 52))
    stamp(p, ver, 356 - len(ver[0]), 31, lambda x, y: (170, 200, 250))
    return reduce_colours(p)


def logo():
    w, h = 120, 64
    p = canvas(w, h, BLACK)
    cx, cy, r = 60.0, 22.0, 19.0
    ss = 4  # samples per pixel side

    def feather(px, py):
        # Feather coordinates: u along the spine (lower left to upper right), v across it.
        dx, dy = px - (cx - 17), py - (cy + 17)
        u = (dx - dy) / 1.41421356
        v = (dx + dy) / 1.41421356
        length = 50.0
        if u < 0 or u > length:
            return None
        t = u / length
        spine = 3.0 * t * t
        if t < 0.22:
            return "shaft" if abs(v - spine) < 0.7 else None
        half = 7.5 * (((t - 0.22) / 0.78) ** 0.5) * (1 - t) ** 0.35 * 1.6
        side = v - spine
        if side < -half or side > half * 0.8:
            return None
        if abs(side) < 0.55:
            return "shaft"
        # Slits between the barbs.
        if ((u + abs(side) * 0.9) % 5.5) < 0.7 and abs(side) > 1.5:
            return None
        return "vane"

    acc = [[[0.0, 0.0, 0.0] for _ in range(w)] for _ in range(h)]
    for y in range(h):
        for x in range(w):
            total = [0.0, 0.0, 0.0]
            for sy in range(ss):
                for sx in range(ss):
                    px, py = x + (sx + 0.5) / ss, y + (sy + 0.5) / ss
                    c = (0, 0, 0)
                    d = ((px - cx) ** 2 + (py - cy) ** 2) ** 0.5
                    if d < r:
                        k = d / r
                        c = mix((92, 140, 236), (10, 26, 96), k ** 1.4)
                        gl = ((px - cx + 7) ** 2 + (py - cy + 9) ** 2) ** 0.5
                        if gl < 9:
                            c = mix(c, (200, 220, 255), 0.45 * (1 - gl / 9) ** 2)
                    elif d < r + 1.3:
                        c = (150, 176, 220)
                    part = feather(px, py)
                    if part == "shaft":
                        c = (250, 250, 255)
                    elif part == "vane":
                        dx, dy = px - (cx - 17), py - (cy + 17)
                        t = ((dx - dy) / 1.41421356) / 50.0
                        c = mix((255, 255, 255), (176, 196, 228), t)
                    for k in range(3):
                        total[k] += c[k]
            acc[y][x] = tuple(int(round(v / (ss * ss))) for v in total)
    p = [list(row) for row in acc]

    name = scale2x(text_mask("QUILLMOOR", FONT5, spacing=1))
    nl = (w - len(name[0])) // 2
    nt = 47
    stamp(p, name, nl, nt,
          lambda x, y: mix((240, 240, 240), (128, 128, 128), y / (len(name) - 1)))
    for x in range(nl, nl + len(name[0])):
        p[nt - 3][x] = mix(BLACK, (120, 150, 210), 1 - abs(x - w / 2) / (len(name[0]) / 2))
    return reduce_colours(p)


write_bmp8("banner.bmp", banner())
write_bmp8("logo.bmp", logo())


def write_bmp4(name, pixels):
    """Writes a 16-colour BMP."""
    h, w = len(pixels), len(pixels[0])
    palette = sorted({c for row in pixels for c in row})
    assert len(palette) <= 16, name
    stride = ((w + 1) // 2 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for x in range(0, w, 2):
            hi = palette.index(row[x])
            lo = palette.index(row[x + 1]) if x + 1 < w else 0
            line.append(hi << 4 | lo)
        line += b"\0" * (stride - len(line))
        data += line
    pal = bytearray()
    for r, g, b in palette:
        pal += bytes((b, g, r, 0))
    pal += b"\0" * (4 * (16 - len(palette)))
    offset = 54 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(header + info + pal + data)


def and_mask(pixels):
    h, w = len(pixels), len(pixels[0])
    stride = ((w + 31) // 32) * 4
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, c in enumerate(row):
            if c is None:
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    return data


def ico_image(pixels):
    """One image of an icon file: 16 colours when it has no see-through pixels, else 32 bits."""
    h, w = len(pixels), len(pixels[0])
    colours = {c for row in pixels for c in row}
    if None not in colours and len(colours) <= 16:
        palette = sorted(colours)
        stride = ((w + 1) // 2 + 3) & ~3
        xor = bytearray()
        for row in reversed(pixels):
            line = bytearray()
            for x in range(0, w, 2):
                line.append(palette.index(row[x]) << 4 | palette.index(row[x + 1]))
            line += b"\0" * (stride - len(line))
            xor += line
        pal = bytearray()
        for r, g, b in palette:
            pal += bytes((b, g, r, 0))
        pal += b"\0" * (4 * (16 - len(palette)))
        info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 4, 0, 0, 0, 0, 16, 0)
        return info + pal + xor + and_mask(pixels), 4, 16
    xor = bytearray()
    for row in reversed(pixels):
        for c in row:
            xor += bytes((0, 0, 0, 0)) if c is None else bytes((c[2], c[1], c[0], 255))
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, 0, 0, 0, 0, 0)
    return info + xor + and_mask(pixels), 32, 0


def write_ico(name, images):
    entries = bytearray()
    blobs = bytearray()
    offset = 6 + 16 * len(images)
    for pixels in images:
        blob, bits, colours = ico_image(pixels)
        size = len(pixels)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits,
                               len(blob), offset + len(blobs))
        blobs += blob
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + entries + blobs)


def write_png(name, pixels):
    import zlib

    h, w = len(pixels), len(pixels[0])
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for c in row:
            raw += bytes((0, 0, 0, 0)) if c is None else bytes((*c, 255))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    png = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(png)


def write_svg(name, size):
    """The largest drawing as rectangles, for any size a desktop asks for."""
    pixels = icon(size)
    rects = []
    for y, row in enumerate(pixels):
        x = 0
        while x < size:
            c = row[x]
            run = 1
            while x + run < size and row[x + run] == c:
                run += 1
            if c is not None:
                rects.append('<rect x="%d" y="%d" width="%d" height="1" fill="#%02x%02x%02x"/>'
                             % (x, y, run, *c))
            x += run
    svg = ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d" '
           'shape-rendering="crispEdges">\n  <title>Vantrel</title>\n  %s\n</svg>\n'
           % (size, size, size, size, "\n  ".join(rects)))
    with open(os.path.join(HERE, name), "w") as f:
        f.write(svg)


write_bmp4("icon16.bmp", icon(16))
write_ico("vantrel.ico", [icon(s) for s in ICON_SIZES])
os.makedirs(os.path.join(HERE, "icons"), exist_ok=True)
for s in ICON_SIZES:
    write_png("icons/vantrel-%d.png" % s, icon(s))
write_svg("icons/vantrel.svg", 48)
