#!/usr/bin/env python3
"""Draws the hyperlink's pointing-hand cursor into module/resources/LinkHand.cur.

A 32x32 monochrome cursor whose hot spot is the tip of the index finger. The hand is drawn as text
below ('X' black, '.' white, ' ' transparent); run the script again after changing it and commit the
file.
"""
import os
import struct

SIZE = 32
HOT_SPOT = (11, 7)

# The first row's first 'X' pair is the fingertip; the hot spot is its left pixel.
HAND = [
    "     XX",
    "    X..X",
    "    X..X",
    "    X..X",
    "    X..X",
    "    X..XXX",
    "    X..X..XXX",
    "    X..X..X..XX",
    "    X..X..X..X.X",
    "XXX X..X..X..X..X",
    "X..XX........X..X",
    "X...X...........X",
    " X..............X",
    "  X.............X",
    "  X.............X",
    "   X...........X",
    "   X...........X",
    "    X.........X",
    "    X.........X",
    "     X.......X",
    "     X.......X",
    "     XXXXXXXXX",
]


def pixels():
    """Yields (x, y, kind) for the cursor's 32x32 grid, with the fingertip on the hot spot."""
    tip = HAND[0].index('X')
    dx, dy = HOT_SPOT[0] - tip, HOT_SPOT[1]
    grid = [[' '] * SIZE for _ in range(SIZE)]
    for row, line in enumerate(HAND):
        for col, kind in enumerate(line):
            grid[row + dy][col + dx] = kind
    return grid


def cursor(grid):
    stride = SIZE // 8
    xor, mask = bytearray(), bytearray()
    for y in range(SIZE - 1, -1, -1):  # bottom-up rows
        xor_row, mask_row = bytearray(stride), bytearray(stride)
        for x, kind in enumerate(grid[y]):
            bit = 0x80 >> (x % 8)
            if kind == '.':
                xor_row[x // 8] |= bit
            elif kind == ' ':
                mask_row[x // 8] |= bit
        xor += xor_row
        mask += mask_row
    palette = struct.pack('<II', 0x000000, 0xFFFFFF)
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    return directory + entry + image


def main():
    grid = pixels()
    assert grid[HOT_SPOT[1]][HOT_SPOT[0]] == 'X'
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'module', 'resources', 'LinkHand.cur')
    with open(out, 'wb') as f:
        f.write(cursor(grid))


if __name__ == '__main__':
    main()
