#!/usr/bin/env python3
"""Writes the seed inputs of picture_fuzz into picture_corpus/: each picture fixture of
tests/pictures followed by the parameter bytes picture_fuzz reads from the end of its input."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
PICTURES = os.path.join(HERE, "..", "pictures")
OUT = os.path.join(HERE, "picture_corpus")

# Read back to front: device and logical resolution (2 bytes each), three frame numbers, the
# stretch flag, then width and height (2 bytes each).
TAILS = {
    "natural": bytes([0x00, 0x50, 0x00, 0x50, 0x01, 0x02, 0x03, 0x00, 0x00, 0x5F, 0x00, 0x5F]),
    "stretch": bytes([0x00, 0x20, 0x00, 0x30, 0x06, 0x01, 0x04, 0x01, 0x01, 0x00, 0x00, 0x90]),
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for name in sorted(os.listdir(PICTURES)):
        if name.endswith(".py"):
            continue
        with open(os.path.join(PICTURES, name), "rb") as f:
            data = f.read()
        for tail_name, tail in TAILS.items():
            base = os.path.splitext(name)[0] + "-" + os.path.splitext(name)[1][1:]
            with open(os.path.join(OUT, base + "-" + tail_name), "wb") as f:
                f.write(data + tail)


if __name__ == "__main__":
    main()
