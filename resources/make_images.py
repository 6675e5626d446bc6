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
