#!/usr/bin/env python3
"""Draws the application's pictures (the project's own artwork): the date and undo glyphs of the edit dialog
and the about box's logo.

Run from the repository root: python3 scripts/make-app-art.py
Writes src/app/resources/PROPDATETIME.png, UNDO.png, ABOUT.jpg and the program icon MAINICON.png; the files are checked in, so the build needs
no Python. The glyphs are character maps drawn with the inspector script's PNG writer; their bottom-left pixel
is the colour the speed button leaves out. The logo is computed pixel by pixel and written by the small
baseline JPEG encoder below (standard tables, no subsampling), as the about box decodes a JPEG.
"""

import math
import os
import runpy
import struct
import types
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "src", "app", "resources")


def inspector_art():
    # The inspector's drawing helpers, loaded from their script (its name is no module name).
    return types.SimpleNamespace(**runpy.run_path(os.path.join(HERE, "make-inspector-art.py")))


# -- Glyphs ------------------------------------------------------------------------------------------------

# "L" (lime) is the key colour: the bottom-left pixel of each glyph, left out when the button draws it.
PROPDATETIME = [
    "LLLLLLLLLLLLLLLL",
    "LL#LLL#LLL#LLLLL",
    "L#r###r###r##LLL",
    "L#rrrrrrrrrrr#LL",
    "L#############LL",
    "L#wwwwwwwwwww#LL",
    "L#w#w#w#w#www#LL",
    "L#wwwwwwwww###LL",
    "L#w#w#w#ww#kkk#L",
    "L#wwwwwww#kwwwk#",
    "L#w#w#w#w#kwbwk#",
    "L#wwwwwww#kwbbk#",
    "L#########kwwwk#",
    "LLLLLLLLLL#kkk#L",
    "LLLLLLLLLLL###LL",
    "LLLLLLLLLLLLLLLL",
]

# An arrow bending back to the left: the normal cell in colour, the disabled cell embossed in greys.
UNDO_SHAPE = [
    "................",
    "................",
    "....#...........",
    "...##...........",
    "..#c#######.....",
    ".#ccccccccc##...",
    "#ccccccccccccd..",
    ".#ccccccccccccd.",
    "..#c#######cccd.",
    "...##......#ccd.",
    "....#.......#cd.",
    "............#cd.",
    "...........#cd..",
    ".........##dd...",
    "................",
    "................",
]


def undo_cells():
    normal = []
    disabled = []
    for y, row in enumerate(UNDO_SHAPE):
        n = ""
        d = ""
        for x, ch in enumerate(row):
            if ch == ".":
                n += "L"
                # The disabled look: a white copy one pixel down and right under a grey one.
                below = UNDO_SHAPE[y - 1][x - 1] if y > 0 and x > 0 else "."
                d += "w" if below != "." else "L"
            else:
                n += {"#": "b", "c": "c", "d": "b"}[ch]
                d += "g"
        normal.append(n)
        disabled.append(d)
    return [a + b for a, b in zip(normal, disabled)]


# -- The logo ----------------------------------------------------------------------------------------------

LOGO_WIDTH = 500
LOGO_HEIGHT = 300


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def logo_pixel(x, y):
    """The logo: a deep blue band with a light sweep along the top, a pale page below it (the labels stand
    on its left half), and an aperture of six blades in a ring on the right."""
    page = mix((255, 255, 255), (226, 236, 248), y / LOGO_HEIGHT)
    if y < 56:
        band = mix((18, 52, 120), (40, 110, 190), x / LOGO_WIDTH)
        sweep = math.sin((x / LOGO_WIDTH) * math.pi * 1.5 + y / 18.0)
        colour = mix(band, (120, 180, 235), (0.2 + 0.15 * sweep) * min(1.0, y / 40.0))
        if y >= 52:
            colour = mix(colour, (240, 180, 40), 1.0)  # a thin gold rule under the band
        return colour
    cx, cy = 405.0, 170.0
    dx, dy = x - cx, y - cy
    r = math.hypot(dx, dy)
    if r > 86:
        # A faint shadow of the ring on the page.
        shade = max(0.0, 1.0 - (r - 86) / 14.0) * 0.25
        return mix(page, (150, 170, 200), shade)
    if r > 74:
        return mix((30, 60, 110), (90, 130, 190), (r - 74) / 12.0)  # the lens ring
    if r < 20:
        return mix((10, 20, 40), (40, 70, 120), r / 20.0)  # the opening
    # The blades turn with the radius, as an iris's leaves do.
    angle = (math.atan2(dy, dx) + math.pi + r / 45.0) / (2 * math.pi) * 6.0
    blade = int(angle) % 6
    within = angle - math.floor(angle)
    # Each blade darkens towards its leading edge, so the six read as overlapping leaves.
    tones = [(60, 140, 200), (70, 170, 190), (80, 190, 160), (230, 190, 60), (220, 120, 70), (150, 100, 190)]
    base = tones[blade]
    colour = mix(base, (255, 255, 255), 0.35 * (1.0 - within))
    if within > 0.93:
        colour = mix(colour, (20, 30, 50), 0.6)
    return mix(colour, (255, 255, 255), max(0.0, (r - 60) / 40.0) * 0.3)


def icon_pixel(x, y, size):
    """The program icon: the logo's aperture filling a square, transparent around its ring. Four samples a pixel
    smooth the rim; the alpha is the share of samples inside the ring."""
    total = [0.0, 0.0, 0.0]
    inside = 0
    for sy in (0.25, 0.75):
        for sx in (0.25, 0.75):
            # The square maps onto the logo's ring: radius 86 around (405, 170).
            lx = 405.0 + ((x + sx) / size - 0.5) * 2 * 87
            ly = 170.0 + ((y + sy) / size - 0.5) * 2 * 87
            if math.hypot(lx - 405.0, ly - 170.0) <= 86:
                colour = logo_pixel(lx, ly)
                for i in range(3):
                    total[i] += colour[i]
                inside += 1
    if inside == 0:
        return (0, 0, 0, 0)
    return tuple(int(round(c / inside)) for c in total) + (int(round(255 * inside / 4)),)


def png_rgba(path, size, pixel):
    raw = bytearray()
    for y in range(size):
        raw.append(0)
        for x in range(size):
            raw.extend(bytes(pixel(x, y, size)))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    data += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


# -- A baseline JPEG encoder --------------------------------------------------------------------------------

ZIGZAG = [
    0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6, 7, 14,
    21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60,
    61, 54, 47, 55, 62, 63,
]

LUMA_QUANT = [
    16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29,
    51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92, 49, 64, 78, 87, 103, 121,
    120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
]
CHROMA_QUANT = [17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99, 99, 99,
                47, 66] + [99] * 38

# Huffman tables: code counts per length 1..16, then the symbols.
DC_LUMA = ([0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0], list(range(12)))
DC_CHROMA = ([0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0], list(range(12)))
AC_LUMA = ([0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D], bytes.fromhex(
    "01020300041105122131410613516107227114328191a1082342b1c11552d1f02433627282090a161718191a25262728292a3435"
    "363738393a434445464748494a535455565758595a636465666768696a737475767778797a838485868788898a92939495969798"
    "999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae1e2e3e4e5e6e7e8e9eaf1f2f3f4"
    "f5f6f7f8f9fa"))
AC_CHROMA = ([0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77], bytes.fromhex(
    "000102031104052131061241510761711322328108144291a1b1c109233352f0156272d10a162434e125f11718191a262728292a"
    "35363738393a434445464748494a535455565758595a636465666768696a737475767778797a82838485868788898a9293949596"
    "9798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae2e3e4e5e6e7e8e9eaf2f3f4"
    "f5f6f7f8f9fa"))


def scaled_quant(table, quality):
    scale = 5000 // quality if quality < 50 else 200 - 2 * quality
    return [max(1, min(255, (q * scale + 50) // 100)) for q in table]


def huffman_codes(table):
    counts, symbols = table
    codes = {}
    code = 0
    k = 0
    for length in range(1, 17):
        for _ in range(counts[length - 1]):
            codes[symbols[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.count = 0

    def write(self, value, length):
        self.acc = (self.acc << length) | (value & ((1 << length) - 1))
        self.count += length
        while self.count >= 8:
            self.count -= 8
            byte = (self.acc >> self.count) & 0xFF
            self.out.append(byte)
            if byte == 0xFF:
                self.out.append(0)  # a data 0xFF is stuffed so it cannot read as a marker
        self.acc &= (1 << self.count) - 1

    def flush(self):
        if self.count:
            self.write((1 << (8 - self.count)) - 1, 8 - self.count)


COS = [[(math.sqrt(0.5) if u == 0 else 1.0) * math.cos((2 * x + 1) * u * math.pi / 16) / 2 for x in range(8)]
       for u in range(8)]


def fdct(block):
    rows = [[sum(COS[u][x] * block[y * 8 + x] for x in range(8)) for u in range(8)] for y in range(8)]
    return [sum(COS[v][y] * rows[y][u] for y in range(8)) for v in range(8) for u in range(8)]


def magnitude(value):
    bits = abs(value).bit_length()
    return bits, (value if value >= 0 else value + (1 << bits) - 1)


def encode_block(writer, block, quant, dc_codes, ac_codes, previous_dc):
    coefficients = fdct(block)
    q = [int(round(coefficients[ZIGZAG[i]] / quant[ZIGZAG[i]])) for i in range(64)]
    diff = q[0] - previous_dc
    size, bits = magnitude(diff)
    writer.write(*dc_codes[size])
    if size:
        writer.write(bits, size)
    run = 0
    for value in q[1:]:
        if value == 0:
            run += 1
            continue
        while run > 15:
            writer.write(*ac_codes[0xF0])
            run -= 16
        size, bits = magnitude(value)
        writer.write(*ac_codes[(run << 4) | size])
        writer.write(bits, size)
        run = 0
    if run:
        writer.write(*ac_codes[0x00])
    return q[0]


def jpeg(path, width, height, pixel, quality=92):
    quants = [scaled_quant(LUMA_QUANT, quality), scaled_quant(CHROMA_QUANT, quality)]
    tables = [(huffman_codes(DC_LUMA), huffman_codes(AC_LUMA)), (huffman_codes(DC_CHROMA), huffman_codes(AC_CHROMA))]
    planes = [[], [], []]
    for y in range(height):
        for x in range(width):
            r, g, b = pixel(x, y)
            planes[0].append(0.299 * r + 0.587 * g + 0.114 * b - 128)
            planes[1].append(-0.168736 * r - 0.331264 * g + 0.5 * b)
            planes[2].append(0.5 * r - 0.418688 * g - 0.081312 * b)

    writer = BitWriter()
    previous = [0, 0, 0]
    for by in range(0, height, 8):
        for bx in range(0, width, 8):
            for c in range(3):
                # Edge blocks repeat the last row and column.
                block = [planes[c][min(by + y, height - 1) * width + min(bx + x, width - 1)]
                         for y in range(8) for x in range(8)]
                table = 0 if c == 0 else 1
                previous[c] = encode_block(writer, block, quants[table], tables[table][0], tables[table][1],
                                           previous[c])
    writer.flush()

    def segment(marker, body):
        return struct.pack(">BBH", 0xFF, marker, len(body) + 2) + body

    data = b"\xFF\xD8"
    data += segment(0xE0, b"JFIF\x00\x01\x01\x00\x00\x60\x00\x60\x00\x00")
    for index, quant in enumerate(quants):
        data += segment(0xDB, bytes([index]) + bytes(quant[ZIGZAG[i]] for i in range(64)))
    data += segment(0xC0, struct.pack(">BHHB", 8, height, width, 3) + bytes([1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1]))
    for cls_id, table in ((0x00, DC_LUMA), (0x10, AC_LUMA), (0x01, DC_CHROMA), (0x11, AC_CHROMA)):
        data += segment(0xC4, bytes([cls_id]) + bytes(table[0]) + bytes(table[1]))
    data += segment(0xDA, bytes([3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0]))
    data += bytes(writer.out) + b"\xFF\xD9"
    with open(path, "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    art = inspector_art()
    art.png("PROPDATETIME", PROPDATETIME, OUT)
    art.png("UNDO", undo_cells(), OUT)
    jpeg(os.path.join(OUT, "ABOUT.jpg"), LOGO_WIDTH, LOGO_HEIGHT, logo_pixel)
    png_rgba(os.path.join(OUT, "MAINICON.png"), 64, icon_pixel)


if __name__ == "__main__":
    main()
