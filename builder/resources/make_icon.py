#!/usr/bin/env python3
"""Draws the program icon: a 32 x 32 image with a 256-colour palette, and
the same picture at 48 x 48 and 64 x 64 for denser screens.

A navy rounded tile with a yellow page and two rows of text lines, the
picture of saved pages becoming a base. The larger images repeat the
pixels of the 32 x 32 one (nearest neighbour), so that all three show one
picture. Writes zeltran.ico beside itself.
"""
import os
import struct

SIZE = 32
SIDES = (SIZE, 48, 64)
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


def image_bytes(side):
    """One icon image: header, palette, colour rows and mask, bottom-up."""
    def at(x, y):
        return pixel(x * SIZE // side, y * SIZE // side)
    header = struct.pack('<IiiHHIIiiII', 40, side, side * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    palette += b'\0' * 4 * (256 - len(PALETTE))
    rows = [bytes(at(x, y) for x in range(side)) for y in range(side)]
    xor = b''.join(reversed(rows))  # bottom-up
    mask_bytes = (side + 31) // 32 * 4  # rows padded to 32 bits
    mask_rows = []
    for y in reversed(range(side)):
        bits = 0
        for x in range(side):
            bits = (bits << 1) | (1 if at(x, y) == 0 else 0)
        bits <<= mask_bytes * 8 - side
        mask_rows.append(bits.to_bytes(mask_bytes, 'big'))
    return header + palette + xor + b''.join(mask_rows)


def icon_bytes():
    images = [image_bytes(side) for side in SIDES]
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for side, image in zip(SIDES, images):
        directory += struct.pack('<BBBBHHII', side, side, 0, 0, 1, 8, len(image), offset)
        offset += len(image)
    return directory + b''.join(images)


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, 'zeltran.ico'), 'wb') as out:
        out.write(icon_bytes())
