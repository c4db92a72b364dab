#!/usr/bin/env python3
"""Draws the emulated dialog's bitmaps and writes them as 8-bit BMP files into resources/.

Pixels are either fully a colour or the transparent magenta: an edge blended toward magenta
would show as a pink fringe once magenta is left out, so shapes are decided per pixel centre.
Run it again after changing the art: python3 tools/make_bitmaps.py [output folder]
"""
import math
import os
import struct
import sys

MAGENTA = (0xFF, 0x00, 0xFF)


class Image:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[MAGENTA] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def fill(self, inside, colour):
        """Paints every pixel whose centre the predicate takes."""
        for y in range(self.height):
            for x in range(self.width):
                if inside(x + 0.5, y + 0.5):
                    self.pixels[y][x] = colour


def write_bmp(image, path):
    palette = []
    for row in image.pixels:
        for colour in row:
            if colour not in palette:
                palette.append(colour)
    if MAGENTA not in palette:
        palette.append(MAGENTA)
    assert len(palette) <= 256, path
    palette += [(0, 0, 0)] * (256 - len(palette))
    stride = (image.width + 3) & ~3
    rows = b""
    for row in reversed(image.pixels):  # bottom-up
        data = bytes(palette.index(c) for c in row)
        rows += data + b"\0" * (stride - image.width)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, image.width, image.height, 1, 8, 0, len(rows), 2835,
                       2835, 256, 0)
    with open(path, "wb") as out:
        out.write(header + info + table + rows)


# Command-link arrow: a right-pointing arrow, 16x16.
def arrow(body, edge):
    image = Image(16, 16)

    def head(x, y):
        # Triangle with its tip at (14, 8), base at x = 8 from y 2 to 14.
        return 8 <= x <= 14 and abs(y - 8) <= (14 - x) * 6 / 6

    def shaft(x, y):
        return 2 <= x <= 9 and 5.5 <= y <= 10.5

    def shape(x, y):
        return head(x, y) or shaft(x, y)

    image.fill(shape, edge)
    # The body is the shape shrunk by one pixel, so each arrow has a crisp darker outline.
    image.fill(lambda x, y: all(shape(x + dx, y + dy)
                                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))), body)
    return image


# Expand/collapse control: a round button with a chevron, 19x19.
def round_button(fill, ring, chevron, down, pressed=False):
    image = Image(19, 19)
    cx = cy = 9.5
    image.fill(lambda x, y: math.hypot(x - cx, y - cy) <= 8.75, ring)
    image.fill(lambda x, y: math.hypot(x - cx, y - cy) <= 7.6, fill)
    shift = 1 if pressed else 0
    # Chevron: two strokes two pixels thick, pointing down (collapsed) or up (expanded).
    for i in range(4):
        for t in range(2):
            y = 8 + i + t - 1 if down else 11 - i + t - 1
            image.set(5 + i + shift, y + shift, chevron)
            image.set(13 - i + shift, y + shift, chevron)
    for t in range(2):
        y = 12 + t - 1 if down else 7 + t - 1
        image.set(9 + shift, y + shift, chevron)
    return image


# Shield, 32x32: quartered blue and gold, with a dark outline.
def shield():
    image = Image(32, 32)

    def outline(x, y):
        if not (4 <= x <= 28 and 2 <= y <= 30):
            return False
        if y <= 17:
            return True
        # Lower half narrows to a point at (16, 30).
        half = 12 * math.sqrt(max(0.0, 1 - ((y - 17) / 13.0) ** 2))
        return abs(x - 16) <= half

    def inner(x, y):
        return all(outline(x + dx, y + dy) for dx, dy in ((1.5, 0), (-1.5, 0), (0, 1.5), (0, -1.5)))

    image.fill(outline, (0x20, 0x30, 0x58))
    blue = (0x2A, 0x5C, 0xC8)
    gold = (0xF2, 0xC2, 0x2E)

    def quarter(x, y):
        return (x < 16) == (y < 15)

    image.fill(lambda x, y: inner(x, y) and quarter(x, y), blue)
    image.fill(lambda x, y: inner(x, y) and not quarter(x, y), gold)
    return image


def bitmaps():
    green, dark_green = (0x2E, 0x9A, 0x3C), (0x1C, 0x6A, 0x28)
    yield "td_arw", arrow(green, dark_green)
    yield "td_arwhot", arrow((0x3C, 0xC0, 0x4E), (0x1E, 0x80, 0x2E))
    yield "td_arwdown", arrow((0x1F, 0x70, 0x2A), (0x12, 0x48, 0x1A))
    yield "td_arwdis", arrow((0xB4, 0xB4, 0xB4), (0x8C, 0x8C, 0x8C))
    normal = ((0xFC, 0xFC, 0xFC), (0x9A, 0x9A, 0x9A), (0x40, 0x40, 0x40))
    hot = ((0xE5, 0xF3, 0xFF), (0x3C, 0x7F, 0xD0), (0x1A, 0x4F, 0x9C))
    pressed = ((0xC4, 0xE0, 0xFA), (0x2A, 0x62, 0xB0), (0x10, 0x38, 0x78))
    for down, prefix in ((True, "td_exp"), (False, "td_colp")):
        yield prefix, round_button(*normal, down)
        yield prefix + "hot", round_button(*hot, down)
        yield prefix + "down", round_button(*pressed, down, pressed=True)
    yield "td_shield", shield()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    for name, image in bitmaps():
        write_bmp(image, os.path.join(folder, name + ".bmp"))


if __name__ == "__main__":
    main()
