#!/usr/bin/env python3
"""Draws the program icon (res/Hivelet.ico: 16, 32 and 64 pixels) with the standard library only.

The picture is a small key tree: a root node with two children on a honey-coloured tile.
Run it again when the picture changes and commit the result.
"""
import os
import struct

TILE = (0x2A, 0x9D, 0xF2)      # honey, as RGB
EDGE = (0x8A, 0x5A, 0x0C)
NODE = (0xFF, 0xFF, 0xFF)
LINE = (0x3B, 0x2A, 0x10)


def draw(size):
    """Returns rows (top first) of RGBA tuples for one icon size."""
    px = [[(0, 0, 0, 0) for _ in range(size)] for _ in range(size)]
    s = size / 16.0

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour + (255,)

    tile = (TILE[2], TILE[1], TILE[0])
    rect(0, 1, 16, 15, EDGE)
    rect(1, 2, 15, 14, tile)
    # tree lines
    rect(3.5, 5, 4.5, 12, LINE)
    rect(4, 7.5, 9, 8.5, LINE)
    rect(4, 10.5, 9, 11.5, LINE)
    # nodes
    rect(2, 3, 6, 6, LINE)
    rect(2.5, 3.5, 5.5, 5.5, NODE)
    rect(8, 6, 13, 10, LINE)
    rect(8.5, 6.5, 12.5, 9.5, NODE)
    rect(8, 9.5, 13, 13, LINE)
    rect(8.5, 10, 12.5, 12.5, NODE)
    return px


def bmp_image(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(px):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(px):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(xor) + bytes(mask)


def main():
    sizes = [16, 32, 64]
    images = [bmp_image(n) for n in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    path = os.path.join(os.path.dirname(__file__), '..', 'res', 'Hivelet.ico')
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
