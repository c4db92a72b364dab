#!/usr/bin/env python3
"""Writes the picture fixtures of the picture container's tests into this folder.

GIF, BMP and PNG files are written byte by byte; the JPEG needs python3-pil and is left as it
is when PIL is missing. The files are committed, so the tests need none of this to run.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# Palette index -> colour: black, red, green, blue.
PALETTE = [(0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255)]
SCREEN = (12, 10)
# Three frames with their own rectangles (left, top, width, height) and colours.
FRAMES = [((0, 0, 12, 10), 1), ((2, 1, 5, 4), 2), ((6, 3, 4, 6), 3)]


def lzw_codes(pixels):
    """Minimum code size 2 (3-bit codes): a clear code before every two pixels keeps the
    dictionary from growing, so every code stays 3 bits wide."""
    codes = []
    for i, p in enumerate(pixels):
        if i % 2 == 0:
            codes.append(4)
        codes.append(p)
    codes.append(5)
    bits, nbits, out = 0, 0, bytearray()
    for c in codes:
        bits |= c << nbits
        nbits += 3
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return bytes(out + b"\x00")


CONTROL = b"\x21\xF9\x04\x00\x0A\x00\x00\x00"  # 0.1 s, no transparency


def gif(frames, screen=SCREEN, control=True, version=b"89a", colours=True, trailing=b""):
    """Frames are (rectangle, colour index) or (rectangle, list of pixel indexes). control is
    one flag for every frame or a list of flags; trailing bytes (the same for every frame, or a
    list) follow a frame's codes in its data sub-block, where decoders skip them. Without colours there is no table at all."""
    out = bytearray(b"GIF" + version)
    out += struct.pack("<HHBBB", screen[0], screen[1], 0x81 if colours else 0, 0, 0)
    if colours:  # 4-colour global table
        for rgb in PALETTE:
            out += bytes(rgb)
    controls = control if isinstance(control, list) else [control] * len(frames)
    trailings = trailing if isinstance(trailing, list) else [trailing] * len(frames)
    for ((left, top, w, h), colour), with_control, trailing in zip(frames, controls, trailings):
        if with_control:
            out += CONTROL
        out += b"\x2C" + struct.pack("<HHHHB", left, top, w, h, 0)
        pixels = colour if isinstance(colour, list) else [colour] * (w * h)
        out += b"\x02" + sub_blocks(lzw_codes(pixels) + trailing)
    return bytes(out + b"\x3B")


def bmp(width, height, colour):
    row = bytes(colour[::-1]) * width
    row += b"\x00" * ((4 - len(row) % 4) % 4)
    pixels = row * height
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835,
                         0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0,
                               14 + len(header)) + header + pixels


def png(width, height, colour):
    """One RGB colour, or a row of RGBA pixels repeated on every line."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    row = b"".join(bytes(p) for p in colour) if isinstance(colour, list) else bytes(colour) * width
    raw = b"".join(b"\x00" + row for _ in range(height))
    kind = 6 if isinstance(colour, list) else 2
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, kind, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    animated = gif(FRAMES)
    write("three_frames.gif", animated)
    write("still.gif", gif([((0, 0, 7, 5), 3)], screen=(7, 5), control=False))
    write("gif8.bin", b"GIF8")
    # 96 x 64 squares of 8 pixels in the four colours: a tile whose seams show.
    squares = [1 + ((x // 8 + y // 8) % 3) for y in range(64) for x in range(96)]
    write("tile.gif", gif([((0, 0, 96, 64), squares)], screen=(96, 64), control=False))
    # Cut inside the second frame's image data.
    second = animated.index(b"\x21\xF9\x04", animated.index(b"\x21\xF9\x04") + 1)
    write("truncated.gif", animated[:second + 30])
    # The third frame's control extension and the first bytes of its descriptor, then the end.
    third = animated.rindex(b"\x21\xF9\x04")
    write("cut_descriptor.gif", animated[:third + 12])
    # A descriptor that claims a huge image over a few bytes of data.
    lying = bytearray(gif([((0, 0, 4, 4), 1)], screen=(4, 4)))
    at = lying.index(b"\x2C")
    lying[at + 5:at + 9] = struct.pack("<HH", 0xFFFF, 0xFFFF)
    lying[6:10] = struct.pack("<HH", 0xFFFF, 0xFFFF)
    write("lying.gif", bytes(lying))
    # The system's loader takes any version after "GIF": one it can draw, and two without a
    # colour table that it would read through.
    write("version_00a.gif", gif([((0, 0, 3, 2), 3)], screen=(3, 2), control=False,
                                 version=b"00a"))
    write("bare_00a.gif", gif([((0, 0, 3, 2), 3)], screen=(3, 2), version=b"00a",
                              colours=False))
    write("bare_7xa.gif", gif([((0, 0, 3, 2), 3)], screen=(3, 2), control=False,
                              version=b"7xa", colours=False))
    # The animation's frames, the first one without a graphic control extension.
    write("first_without_control.gif", gif(FRAMES, control=[False, True, True]))
    # A graphic control extension and descriptor (frame at 9, 9) inside the first frame's data.
    hidden = CONTROL + b"\x2C" + struct.pack("<HHHHB", 9, 9, 3, 1, 0)
    write("hidden_pattern.gif", gif(FRAMES[:2], trailing=[hidden, b""]))
    write("empty.bin", b"")
    write("small.bmp", bmp(4, 3, (255, 128, 0)))
    write("small.png", png(5, 4, (0, 128, 255)))
    write("alpha.png", png(2, 1, [(0, 0, 255, 255), (255, 0, 0, 0)]))
    try:
        from PIL import Image
        Image.new("RGB", (8, 6), (200, 40, 120)).save(os.path.join(HERE, "small.jpg"),
                                                       quality=90)
    except ImportError:
        print("python3-pil is missing: small.jpg left as it is")
    write("not_a_picture.txt", b"Only words here.\r\n")


if __name__ == "__main__":
    main()
