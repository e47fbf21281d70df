#!/usr/bin/env python3
"""Draws the tool's 16x16 icon (a chip with pins, one pin lit) into res/gpioconfig.ico."""
import struct, sys

ART = [
    "................",
    "...p.p.p.p.p....",
    "...p.p.p.p.p....",
    ".bbbbbbbbbbbbb..",
    ".bdddddddddddb..",
    "pbdddddddddddbp.",
    ".bddddddddddhb..",
    "pbdddddddddddbp.",
    ".bdddddddddddbG.",
    "pbdddddddddddbGG",
    ".bdddddddddddbG.",
    ".bbbbbbbbbbbbb..",
    "...p.p.p.p.p....",
    "...p.p.p.p.p....",
    "................",
    "................",
]
COLOURS = {  # B, G, R, A
    ".": (0, 0, 0, 0),
    "p": (160, 160, 160, 255),
    "b": (40, 40, 40, 255),
    "d": (70, 70, 70, 255),
    "h": (230, 230, 230, 255),
    "G": (40, 200, 40, 255),
}

def main(path):
    pixels = b"".join(bytes(COLOURS[c]) for row in reversed(ART) for c in row)
    mask = bytes(4 * 16)  # alpha channel decides; AND mask all opaque
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(icondir + entry + image)

if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/gpioconfig.ico")
