#!/usr/bin/env python3
"""Draws the property inspector's bitmaps and cursors as small PNG files (the project's own artwork).

Run from the repository root: python3 scripts/make-inspector-art.py
Writes src/inspector/resources/*.png; the files are checked in, so the build needs no Python.
Each picture is a character map: one character per pixel, looked up in the palette below.
"""

import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(__file__), "..", "src", "inspector", "resources")

PALETTE = {
    ".": (0, 0, 0, 0),  # transparent
    "L": (0, 255, 0, 255),  # clLime: the key colour of the one-colour keyed pictures
    "#": (0, 0, 0, 255),
    "w": (255, 255, 255, 255),
    "g": (128, 128, 128, 255),
    "s": (192, 192, 192, 255),
    "d": (64, 64, 64, 255),
    "b": (0, 0, 160, 255),
    "r": (220, 0, 0, 255),
    "y": (240, 200, 0, 255),
    "e": (0, 150, 0, 255),
    "c": (0, 120, 220, 255),
    "o": (255, 238, 194, 255),
    "k": (127, 157, 185, 255),
    "G": (0, 96, 0, 255),
    "n": (0, 0, 0, 128),  # half-transparent shadow
}


def png(path, rows, out=OUT):
    height = len(rows)
    width = len(rows[0])
    raw = bytearray()
    for row in rows:
        assert len(row) == width, (path, row)
        raw.append(0)
        for ch in row:
            raw.extend(PALETTE[ch])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    data += chunk(b"IEND", b"")
    with open(os.path.join(out, path + ".png"), "wb") as f:
        f.write(data)


PICTURES = {
    # Toolbar glyphs: 16 x 16, transparent around the ink, bottom-left pixel transparent.
    "CHECKMARK": [
        "................",
        "................",
        "................",
        "............#...",
        "...........##...",
        "..........###...",
        "...#.....###....",
        "...##...###.....",
        "...###.###......",
        "....#####.......",
        ".....###........",
        "......#.........",
        "................",
        "................",
        "................",
        "................",
    ],
    "ALIGNMENTLEFT": [
        "................",
        "................",
        "..##########....",
        "................",
        "..#######.......",
        "................",
        "..##########....",
        "................",
        "..#######.......",
        "................",
        "..##########....",
        "................",
        "..#######.......",
        "................",
        "................",
        "................",
    ],
    "ALIGNMENTCENTER": [
        "................",
        "................",
        "...##########...",
        "................",
        ".....######.....",
        "................",
        "...##########...",
        "................",
        ".....######.....",
        "................",
        "...##########...",
        "................",
        ".....######.....",
        "................",
        "................",
        "................",
    ],
    "ALIGNMENTRIGHT": [
        "................",
        "................",
        "....##########..",
        "................",
        ".......#######..",
        "................",
        "....##########..",
        "................",
        ".......#######..",
        "................",
        "....##########..",
        "................",
        ".......#######..",
        "................",
        "................",
        "................",
    ],
    "ALIGNMENTJUSTIFY": [
        "................",
        "................",
        "..############..",
        "................",
        "..############..",
        "................",
        "..############..",
        "................",
        "..############..",
        "................",
        "..############..",
        "................",
        "..######........",
        "................",
        "................",
        "................",
    ],
    "ALIGNMENTTOP": [
        "................",
        "..############..",
        "................",
        "....##....##....",
        "....##....##....",
        "....##....##....",
        "....##....##....",
        "....##....##....",
        "....##....##....",
        "................",
        "................",
        "................",
        "................",
        "................",
        "..ssssssssssss..",
        "................",
    ],
    "ALIGNMENTMIDDLE": [
        "................",
        "..ssssssssssss..",
        "................",
        "................",
        "....##....##....",
        "....##....##....",
        "....##....##....",
        "..############..",
        "....##....##....",
        "....##....##....",
        "....##....##....",
        "................",
        "................",
        "................",
        "..ssssssssssss..",
        "................",
    ],
    "ALIGNMENTBOTTOM": [
        "................",
        "..ssssssssssss..",
        "................",
        "................",
        "................",
        "................",
        "................",
        "....##....##....",
        "....##....##....",
        "....##....##....",
        "....##....##....",
        "....##....##....",
        "....##....##....",
        "................",
        "..############..",
        "................",
    ],
    "FONTSTYLEBOLD": [
        "................",
        "................",
        "...########.....",
        "....###..###....",
        "....###..###....",
        "....###..###....",
        "....#######.....",
        "....###..###....",
        "....###...###...",
        "....###...###...",
        "....###..###....",
        "...########.....",
        "................",
        "................",
        "................",
        "................",
    ],
    "FONTSTYLEITALIC": [
        "................",
        "................",
        "......#####.....",
        ".......##.......",
        ".......##.......",
        "......##........",
        "......##........",
        "......##........",
        ".....##.........",
        ".....##.........",
        ".....##.........",
        "...#####........",
        "................",
        "................",
        "................",
        "................",
    ],
    "FONTSTYLEUNDERLINE": [
        "................",
        "................",
        "...###...###....",
        "....#.....#.....",
        "....#.....#.....",
        "....#.....#.....",
        "....#.....#.....",
        "....#.....#.....",
        "....#.....#.....",
        ".....#...#......",
        "......###.......",
        "................",
        "...#########....",
        "................",
        "................",
        "................",
    ],
    # Keyed by clLime: the lime pixels are left out when drawn.
    "MORECOLORSBUTTON": [
        "LLLLLLLLLLLLLLLL",
        "LLLLLLLLLLLLLLLL",
        "LL#####L#####LLL",
        "LL#rrr#L#eee#LLL",
        "LL#rrr#L#eee#LLL",
        "LL#rrr#L#eee#LLL",
        "LL#####L#####LLL",
        "LLLLLLLLLLLLLLLL",
        "LL#####L#####LLL",
        "LL#ccc#L#yyy#LLL",
        "LL#ccc#L#yyy#LLL",
        "LL#ccc#L#yyy#LLL",
        "LL#####L#####LLL",
        "LLLLLLLLLLLLL#L#",
        "LLLLLLLLLLLLLLLL",
        "LLLLLLLLLLLLLLLL",
    ],
    "NEWROW": [
        "LLLLLLL#",
        "LLLLLLL#",
        "LL#LLLL#",
        "L##LLLL#",
        "########",
        "L##LLLLL",
        "LL#LLLLL",
        "LLLLLLLL",
    ],
    "NONECOLOR": [
        "................",
        "................",
        "..############..",
        "..#wwwwwwwwwr#..",
        "..#rwwwwwwwrw#..",
        "..#wrwwwwwrww#..",
        "..#wwrwwwrwww#..",
        "..#wwwrwrwwww#..",
        "..#wwwwrwwwww#..",
        "..#wwwrwrwwww#..",
        "..#wwrwwwrwww#..",
        "..#wrwwwwwrww#..",
        "..#rwwwwwwwrw#..",
        "..############..",
        "................",
        "................",
    ],
    # Check boxes of the office looks: 13 x 13.
    "CHECKED": [
        "kkkkkkkkkkkkk",
        "kwwwwwwwwwwwk",
        "kwwwwwwwwwwwk",
        "kwwwwwwwwGwwk",
        "kwwwwwwwGGwwk",
        "kwwGwwwGGGwwk",
        "kwwGGwGGGwwwk",
        "kwwGGGGGwwwwk",
        "kwwwGGGwwwwwk",
        "kwwwwGwwwwwwk",
        "kwwwwwwwwwwwk",
        "kwwwwwwwwwwwk",
        "kkkkkkkkkkkkk",
    ],
    "UNCHECKED": [
        "kkkkkkkkkkkkk",
        "kwwwwwwwwwwwk",
        "kwwwwwwwwwwwk",
        "kwwwwwwwwwwwk",
        "kwwwwwwwwwwwk",
        "kwwwwwwwwwwwk",
        "kwwwwwwwwwwwk",
        "kwwwwwwwwwwwk",
        "kwwwwwwwwwwwk",
        "kwwwwwwwwwwwk",
        "kwwwwwwwwwwwk",
        "kwwwwwwwwwwwk",
        "kkkkkkkkkkkkk",
    ],
    # Expand boxes of the office looks: 9 x 9.
    "OFFICE2003COLLAPSE": [
        "kkkkkkkkk",
        "kwwwwwwwk",
        "kwwwwwwwk",
        "kwwwwwwwk",
        "kw#####wk",
        "kwwwwwwwk",
        "kwooooowk",
        "koooooook",
        "kkkkkkkkk",
    ],
    "OFFICE2003EXPAND": [
        "kkkkkkkkk",
        "kwwwwwwwk",
        "kwww#wwwk",
        "kwww#wwwk",
        "kw#####wk",
        "kwww#wwwk",
        "kwoo#oowk",
        "koooooook",
        "kkkkkkkkk",
    ],
}

# Cursors: 32 x 32. The hot spots are set where the cursors are made: the arrow's tip at (15, 0) for the
# reversed arrow, the centre of the dot (16, 16) for the three rolling marks.
ARROW = [
    "...............#................",
    "..............##................",
    ".............#w#................",
    "............#ww#................",
    "...........#www#................",
    "..........#wwww#................",
    ".........#wwwww#................",
    "........#wwwwww#................",
    ".......#wwwwwww#................",
    "......#wwwwwwww#................",
    ".....#wwwwwwwww#................",
    "....#wwwwwwwwww#................",
    "...#wwwwww######................",
    "..#####www#.....................",
    "......#www#.....................",
    ".......#www#....................",
    ".......#www#....................",
    "........#www#...................",
    "........#www#...................",
    ".........###....................",
]


def blank():
    return [["."] * 32 for _ in range(32)]


def put(canvas, x, y, ch):
    if 0 <= x < 32 and 0 <= y < 32:
        canvas[y][x] = ch


def roll(up, down):
    c = blank()
    # The dot: a filled disc of radius 3 around (16, 16), outlined in white.
    for y in range(11, 22):
        for x in range(11, 22):
            d = (x - 16) ** 2 + (y - 16) ** 2
            if d <= 9:
                put(c, x, y, "#")
            elif d <= 17:
                put(c, x, y, "w")
    # Arrows: triangles 9 pixels wide, outlined in white.
    def triangle(tip_y, step):
        for i in range(5):
            y = tip_y + step * i
            for x in range(16 - i, 17 + i):
                put(c, x, y, "#")
            put(c, 15 - i, y, "w")
            put(c, 17 + i, y, "w")
        put(c, 16, tip_y - step, "w")
        for x in range(11, 22):
            put(c, x, tip_y + step * 5, "w")
    if up:
        triangle(4, 1)
    if down:
        triangle(27, -1)
    return ["".join(row) for row in c]


CURSORS = {
    "REVERSEDARROW": [row.ljust(32, ".") for row in ARROW] + ["." * 32] * (32 - len(ARROW)),
    "ROLL": roll(True, True),
    "ROLLUP": roll(True, False),
    "ROLLDOWN": roll(False, True),
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, rows in PICTURES.items():
        png(name, rows)
    for name, rows in CURSORS.items():
        png(name, rows)


if __name__ == "__main__":
    main()
