#!/usr/bin/env python3
"""Writes the program's icon: a 32 x 32, 16-colour picture frame around a
small landscape, as a classic .ico file.

usage: make_icon.py OUTPUT.ico
"""
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREEN, OLIVE, GREY, SILVER = 0, 2, 3, 8, 7
GREEN, YELLOW, CYAN, WHITE, BLUE = 10, 11, 14, 15, 12
SIZE = 32
TRANSPARENT = None


def draw():
    pixels = [[TRANSPARENT] * SIZE for _ in range(SIZE)]

    def put(x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            pixels[y][x] = colour

    # Frame: a dark outline, a golden band lit from the top left, and a dark
    # inner edge where the picture sits.
    for y in range(1, 31):
        for x in range(1, 31):
            edge = min(x - 1, y - 1, 30 - x, 30 - y)
            if edge == 0:
                put(x, y, BLACK)
            elif edge <= 4:
                lit = (x - 1 < 30 - x and x - 1 == edge) or (y - 1 < 30 - y and y - 1 == edge)
                put(x, y, YELLOW if lit and edge == 1 else OLIVE)
            elif edge == 5:
                put(x, y, BLACK)

    # The picture: sky, sun, a mountain and green hills.
    for y in range(7, 25):
        for x in range(7, 25):
            put(x, y, CYAN if y < 14 else BLUE if y < 15 else CYAN)
    for y in range(7, 15):
        for x in range(7, 25):
            put(x, y, CYAN)
    for y in range(8, 14):
        for x in range(17, 24):
            if (x - 20) ** 2 + (y - 10.5) ** 2 <= 7:
                put(x, y, YELLOW)
    for x in range(9, 13):
        put(x, 9, WHITE)
    for x in range(8, 15):
        put(x, 10, WHITE)
    for y in range(11, 25):
        for x in range(7, 25):
            half = (y - 11)
            if abs(x - 13) <= half:
                put(x, y, SILVER if y < 14 else GREY)
    for y in range(17, 25):
        for x in range(7, 25):
            hill = 20 - ((x - 19) ** 2) / 12
            if y >= hill:
                put(x, y, GREEN if y < 20 else DARK_GREEN)
    return pixels


def ico(pixels):
    colour_rows = []
    mask_rows = []
    for row in reversed(pixels):  # bottom-up
        colour = bytearray()
        for x in range(0, SIZE, 2):
            hi = row[x] if row[x] is not None else 0
            lo = row[x + 1] if row[x + 1] is not None else 0
            colour.append((hi << 4) | lo)
        colour_rows.append(bytes(colour))
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        mask_rows.append(struct.pack(">I", bits))
    xor = b"".join(colour_rows)
    and_mask = b"".join(mask_rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(and_mask), 0, 0, 16, 0)
    image = header + palette + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as out:
        out.write(ico(draw()))


if __name__ == "__main__":
    main()
