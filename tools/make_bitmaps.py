#!/usr/bin/env python3
"""Draws the image strips of the main window into res/ as 24-bit BMP files:
value type icons (107: 16x16, 108: 32x32; fourteen images, the first seven the ghosted
twins of the last seven) and key tree images (109: 16x16, 110: 32x32; five images).
Magenta is the transparent colour. Standard library only; run from the repository root."""
import os
import struct

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
BORDER = (96, 96, 96)

GLYPHS = {
    'a': ["###", "..#", "###", "#.#", "###"],
    'b': ["#..", "#..", "###", "#.#", "###"],
    '0': ["###", "#.#", "#.#", "#.#", "###"],
    '1': [".#.", "##.", ".#.", ".#.", "###"],
    '2': ["###", "..#", "###", "#..", "###"],
    '%': ["#.#", "..#", ".#.", "#..", "#.#"],
    '-': ["...", "...", "###", "...", "..."],
    '?': ["###", "..#", ".##", "...", ".#."],
}


def blank(size):
    return [[MAGENTA] * size for _ in range(size)]


def fill(img, x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][x] = colour


def frame(img, x0, y0, x1, y1, colour):
    for x in range(x0, x1 + 1):
        img[y0][x] = img[y1][x] = colour
    for y in range(y0, y1 + 1):
        img[y][x0] = img[y][x1] = colour


def glyph(img, ch, x0, y0, colour):
    for dy, row in enumerate(GLYPHS[ch]):
        for dx, c in enumerate(row):
            if c == '#':
                img[y0 + dy][x0 + dx] = colour


def value_icon(text, colour, lines=1):
    """A small white card with two characters in the type's colour."""
    img = blank(16)
    fill(img, 1, 2, 14, 13, WHITE)
    frame(img, 1, 2, 14, 13, BORDER)
    if lines == 1:
        glyph(img, text[0], 4, 5, colour)
        glyph(img, text[1], 9, 5, colour)
    else:
        for top in (3, 8):
            glyph(img, text[0], 4, top, colour)
            glyph(img, text[1], 9, top, colour)
    return img


def ghosted(img):
    """Every other pixel white: the faded look of an item that is cut."""
    out = [row[:] for row in img]
    for y, row in enumerate(out):
        for x, c in enumerate(row):
            if c != MAGENTA and (x + y) % 2 == 0:
                row[x] = WHITE
    return out


def folder(open_):
    img = blank(16)
    dark, yellow, light = (160, 120, 0), (240, 200, 60), (255, 230, 130)
    fill(img, 1, 3, 6, 4, yellow)
    frame(img, 1, 3, 6, 4, dark)
    fill(img, 1, 4, 14, 13, yellow)
    frame(img, 1, 4, 14, 13, dark)
    if open_:
        # The front flap, tilted open.
        for y in range(7, 14):
            shift = (13 - y) // 2
            for x in range(1 + shift + 1, 15):
                img[y][x] = light
            img[y][1 + shift + 1] = dark
        for x in range(4, 15):
            img[7][x] = dark
        for x in range(2, 15):
            img[13][x] = dark
    return img


def cubes():
    img = blank(16)
    def cube(x, y, face, top):
        fill(img, x, y + 2, x + 5, y + 6, face)
        fill(img, x + 1, y, x + 6, y + 1, top)
        fill(img, x + 6, y + 1, x + 6, y + 5, (0, 60, 90))
        frame(img, x, y + 2, x + 5, y + 6, (0, 50, 80))
    cube(1, 8, (0, 150, 160), (120, 220, 220))
    cube(8, 8, (0, 110, 200), (110, 180, 240))
    cube(4, 2, (0, 170, 120), (120, 230, 180))
    return img


def scale(img, factor):
    return [[c for c in row for _ in range(factor)] for row in img for _ in range(factor)]


def strip(images):
    height = len(images[0])
    return [sum((img[y] for img in images), []) for y in range(height)]


def write_bmp(path, pixels):
    height, width = len(pixels), len(pixels[0])
    row_size = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b'\0' * (row_size - len(line))
        data += line
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res')
    types = [
        value_icon('ab', (200, 0, 0)),             # REG_SZ
        value_icon('01', (0, 0, 200)),             # REG_BINARY
        value_icon('12', (0, 130, 0)),             # REG_DWORD
        value_icon('ab', (200, 0, 0), lines=2),    # REG_MULTI_SZ
        value_icon('%a', (140, 0, 160)),           # REG_EXPAND_SZ
        value_icon('--', (110, 110, 110)),         # REG_NONE
        value_icon('??', (200, 100, 0)),           # any other type
    ]
    values = [ghosted(i) for i in types] + types
    tree = [ghosted(folder(False)), ghosted(folder(True)), folder(False), folder(True), cubes()]
    write_bmp(os.path.join(root, 'Values.bmp'), strip(values))
    write_bmp(os.path.join(root, 'ValuesLarge.bmp'), strip([scale(i, 2) for i in values]))
    write_bmp(os.path.join(root, 'Tree.bmp'), strip(tree))
    write_bmp(os.path.join(root, 'TreeLarge.bmp'), strip([scale(i, 2) for i in tree]))


if __name__ == '__main__':
    main()
