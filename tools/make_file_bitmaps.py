#!/usr/bin/env python3
"""Draws the file list's image strips (res/Files16.bmp, res/Files32.bmp) with the standard library.

Five images side by side, magenta background (transparent in the image list): a file, a folder,
the parent entry (a folder with an arrow up), a .reg file (a file with registry blocks) and a
storage card. The 32-pixel strip is drawn on its own grid, not scaled. Run it again when a
picture changes and commit the result.
"""
import os
import struct

MAGENTA = (0xFF, 0x00, 0xFF)
OUTLINE = (0x40, 0x40, 0x40)
PAPER = (0xFF, 0xFF, 0xFF)
FOLD = (0xC0, 0xC0, 0xC0)
FOLDER = (0xF0, 0xC8, 0x50)
FOLDER_DARK = (0xC0, 0x90, 0x20)
ARROW = (0x10, 0x60, 0x10)
BLOCK_A = (0x20, 0x60, 0xD0)
BLOCK_B = (0xD0, 0x30, 0x30)
CARD = (0x30, 0x50, 0x90)
CONTACT = (0xE0, 0xC0, 0x40)


def image(size, kind):
    px = [[MAGENTA for _ in range(size)] for _ in range(size)]
    s = size / 16.0

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(round(y0 * s)), int(round(y1 * s))):
            for x in range(int(round(x0 * s)), int(round(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    def paper():
        rect(3, 1, 13, 15, OUTLINE)
        rect(4, 2, 12, 14, PAPER)
        rect(9, 1, 13, 5, OUTLINE)
        rect(9, 2, 12, 5, FOLD)

    def folder():
        rect(1, 3, 7, 5, FOLDER_DARK)
        rect(1, 4, 15, 14, OUTLINE)
        rect(2, 5, 14, 13, FOLDER)

    if kind == 'file':
        paper()
        for y in (6, 8, 10):
            rect(5, y, 11, y + 1, FOLD)
    elif kind == 'folder':
        folder()
    elif kind == 'parent':
        folder()
        rect(7, 7, 9, 12, ARROW)
        rect(5, 8, 11, 9, ARROW)
        rect(6, 7, 10, 8, ARROW)
    elif kind == 'reg':
        paper()
        rect(5, 6, 8, 9, BLOCK_A)
        rect(8, 9, 11, 12, BLOCK_B)
        rect(5, 10, 7, 12, BLOCK_A)
    elif kind == 'card':
        rect(2, 2, 14, 14, OUTLINE)
        rect(3, 3, 13, 13, CARD)
        for x in (4, 6, 8, 10):
            rect(x, 3, x + 1, 6, CONTACT)
    return px


def write_bmp(path, size, kinds):
    width = size * len(kinds)
    images = [image(size, kind) for kind in kinds]
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(size)):
        row = bytearray()
        for img in images:
            for r, g, b in img[y]:
                row += bytes((b, g, r))
        row += b'\0' * (stride - len(row))
        pixels += row
    info = struct.pack('<IiiHHIIiiII', 40, width, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(header + info + pixels)


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res')
    kinds = ['file', 'folder', 'parent', 'reg', 'card']
    write_bmp(os.path.join(res, 'Files16.bmp'), 16, kinds)
    write_bmp(os.path.join(res, 'Files32.bmp'), 32, kinds)


if __name__ == '__main__':
    main()
