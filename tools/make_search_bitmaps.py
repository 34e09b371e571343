#!/usr/bin/env python3
"""Draws the search image strips with the standard library only, as 24-bit BMP files on a magenta
(transparent) background:

  res/FindResults16.bmp, res/FindResults32.bmp   rows of the find results list, four images:
      nothing found (blue dash), cancel (red cross), key (yellow folder), value (white page)
  res/SearchToolbar24.bmp, res/SearchToolbar48.bmp   floating toolbar, ten images in pairs
      (black, then gray for disabled): resume, stop, pause, hide toolbar, show results

Shapes are described on a 16- or 24-unit grid and sampled at pixel centres, so the double-size
strips are the same pictures drawn finer. Run it again when a picture changes and commit the
result.
"""
import os
import struct

MAGENTA = (255, 0, 255)
BLACK = (0, 0, 0)
GRAY = (128, 128, 128)
BLUE = (0, 64, 200)
RED = (208, 0, 0)
FOLDER = (255, 204, 0)
FOLDER_EDGE = (128, 96, 0)
PAGE = (255, 255, 255)
PAGE_EDGE = (96, 96, 96)
PAGE_LINE = (160, 160, 160)


class Canvas:
    def __init__(self, size, grid):
        self.size = size
        self.scale = size / grid
        self.px = [[MAGENTA for _ in range(size)] for _ in range(size)]

    def _fill(self, inside, colour):
        for y in range(self.size):
            for x in range(self.size):
                if inside((x + 0.5) / self.scale, (y + 0.5) / self.scale):
                    self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        self._fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour)

    def polygon(self, points, colour):
        def inside(x, y):
            result = False
            j = len(points) - 1
            for i, (xi, yi) in enumerate(points):
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result
        self._fill(inside, colour)

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
            cx, cy = x0 + t * dx - x, y0 + t * dy - y
            return cx * cx + cy * cy <= (width / 2.0) ** 2
        self._fill(inside, colour)


def nothing_found(c):
    c.rect(3, 7, 13, 9.5, BLUE)


def cancel(c):
    c.line(4, 4, 12, 12, 2.4, RED)
    c.line(12, 4, 4, 12, 2.4, RED)


def folder(c):
    c.polygon([(1, 4), (6, 4), (7.5, 5.5), (15, 5.5), (15, 14), (1, 14)], FOLDER_EDGE)
    c.polygon([(2, 5), (5.6, 5), (7.1, 6.5), (14, 6.5), (14, 13), (2, 13)], FOLDER)
    c.rect(2, 7.5, 14, 8.2, FOLDER_EDGE)


def page(c):
    c.polygon([(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)], PAGE_EDGE)
    c.polygon([(4, 2), (9.5, 2), (12, 4.5), (12, 14), (4, 14)], PAGE)
    c.polygon([(9.5, 2), (9.5, 4.5), (12, 4.5)], PAGE_EDGE)
    for y in (6.5, 8.5, 10.5, 12.5):
        c.rect(5.5, y, 10.5, y + 0.8, PAGE_LINE)


def resume(c, colour):
    c.polygon([(8, 5), (18, 12), (8, 19)], colour)


def stop(c, colour):
    c.rect(6, 6, 18, 18, colour)


def pause(c, colour):
    c.rect(6, 5, 10, 19, colour)
    c.rect(14, 5, 18, 19, colour)


def hide(c, colour):
    c.line(7, 7, 17, 17, 2.6, colour)
    c.line(17, 7, 7, 17, 2.6, colour)


def show_results(c, colour):
    # upper arrow to the right, lower arrow to the left
    c.rect(4, 7, 14, 9, colour)
    c.polygon([(13, 4), (19, 8), (13, 12)], colour)
    c.rect(10, 15, 20, 17, colour)
    c.polygon([(11, 12), (5, 16), (11, 20)], colour)


def strip(size, grid, painters):
    images = []
    for paint in painters:
        canvas = Canvas(size, grid)
        paint(canvas)
        images.append(canvas.px)
    width = size * len(images)
    rows = []
    for y in range(size):
        row = []
        for image in images:
            row.extend(image[y])
        rows.append(row)
    return width, size, rows


def write_bmp(path, width, height, rows):
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, 'wb') as out:
        out.write(header + info + bytes(pixels))


def toolbar_painters():
    painters = []
    for shape in (resume, stop, pause, hide, show_results):
        painters.append(lambda c, s=shape: s(c, BLACK))
        painters.append(lambda c, s=shape: s(c, GRAY))
    return painters


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res')
    results = [nothing_found, cancel, folder, page]
    write_bmp(os.path.join(res, 'FindResults16.bmp'), *strip(16, 16, results))
    write_bmp(os.path.join(res, 'FindResults32.bmp'), *strip(32, 16, results))
    write_bmp(os.path.join(res, 'SearchToolbar24.bmp'), *strip(24, 24, toolbar_painters()))
    write_bmp(os.path.join(res, 'SearchToolbar48.bmp'), *strip(48, 24, toolbar_painters()))


if __name__ == '__main__':
    main()
