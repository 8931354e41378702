#!/usr/bin/env python3
"""Draws the program icon: one 32 x 32 image with a 256-colour palette.

A navy rounded tile with a yellow page and two rows of text lines, the
picture of saved pages becoming a base. Writes zeltran.ico beside itself.
"""
import os
import struct

SIZE = 32
PALETTE = [
    (0, 0, 0),        # 0 transparent background (masked)
    (0, 0, 128),      # 1 navy tile
    (255, 255, 187),  # 2 pale yellow page
    (0, 0, 0),        # 3 black text lines
    (255, 255, 255),  # 4 white highlight
    (200, 0, 0),      # 5 red corner mark
]


def pixel(x, y):
    """Palette index of the pixel at (x, y), y counted from the top."""
    corner = 5
    inside_tile = 1 <= x <= 30 and 1 <= y <= 30
    for cx, cy in ((1 + corner, 1 + corner), (30 - corner, 1 + corner),
                   (1 + corner, 30 - corner), (30 - corner, 30 - corner)):
        if (x < 1 + corner or x > 30 - corner) and (y < 1 + corner or y > 30 - corner):
            if abs(x - cx) <= corner and abs(y - cy) <= corner:
                inside_tile = inside_tile and (x - cx) ** 2 + (y - cy) ** 2 <= corner * corner
    if not inside_tile:
        return 0
    if 7 <= x <= 24 and 5 <= y <= 26:
        if x >= 20 and y <= 9 and (x - 20) >= (y - 5):
            return 1 if (x - 20) > (y - 5) else 3  # folded corner
        if y in (10, 13, 16, 19, 22) and 10 <= x <= (21 if y % 2 else 18):
            return 3
        if x == 7 or y == 26:
            return 3
        return 2
    if 3 <= x <= 28 and y == 2:
        return 4
    if x >= 25 and y >= 25 and x + y <= 56:
        return 5
    return 1


def icon_bytes():
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    palette += b'\0' * 4 * (256 - len(PALETTE))
    rows = [bytes(pixel(x, y) for x in range(SIZE)) for y in range(SIZE)]
    xor = b''.join(reversed(rows))  # bottom-up
    mask_rows = []
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if pixel(x, y) == 0 else 0)
        mask_rows.append(struct.pack('>I', bits))
    image = header + palette + xor + b''.join(mask_rows)
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, 'zeltran.ico'), 'wb') as out:
        out.write(icon_bytes())
