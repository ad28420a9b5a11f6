#!/usr/bin/env python3
"""Writes the default skin of tollwren as 24-bit BMP files:

    assets/tollwren/bmk.bmp      background, 440 x 280 (it also sets the window size)
    assets/tollwren/bmc.bmp      close button, 16 x 16
    assets/tollwren/English.bmp  flag of the English language, 24 x 16

The images are drawn from a few rectangles and lines so that they can be
regenerated exactly; the generated files are committed.
Usage: scripts/make_tollwren_assets.py [OUTPUT_FOLDER]
"""
import os
import struct
import sys

BAND = (0x1F, 0x3A, 0x5F)      # title band, dark blue
BODY_TOP = (0xF7, 0xF9, 0xFC)
BODY_BOTTOM = (0xDC, 0xE4, 0xEE)
RULE = (0x9A, 0xAE, 0xC6)
WHITE = (0xFF, 0xFF, 0xFF)
RED = (0xC8, 0x10, 0x2E)


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y counted from the top."""
    row_bytes = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(row_bytes - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def background(x, y):
    width, height, band = 440, 280, 60
    if y < band:
        # the band darkens a little towards its lower edge
        return mix(BAND, (0x15, 0x2B, 0x48), y / band)
    if y == band or x == 0 or x == width - 1 or y == height - 1:
        return RULE
    return mix(BODY_TOP, BODY_BOTTOM, (y - band) / (height - band))


def close_button(x, y):
    size = 16
    if x in (0, size - 1) or y in (0, size - 1):
        return (0x5A, 0x74, 0x96)
    # a cross two pixels thick, 4 pixels from the edges
    if 4 <= x <= 11 and 4 <= y <= 11 and (x - y in (0, 1) or x + y in (15, 16)):
        return WHITE
    return BAND


def english_flag(x, y):
    # a red cross on white, the cross 4 pixels wide, with a grey frame
    if x in (0, 23) or y in (0, 15):
        return (0x80, 0x80, 0x80)
    if 10 <= x <= 13 or 6 <= y <= 9:
        return RED
    return WHITE


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "assets", "tollwren")
    os.makedirs(folder, exist_ok=True)
    write_bmp(os.path.join(folder, "bmk.bmp"), 440, 280, background)
    write_bmp(os.path.join(folder, "bmc.bmp"), 16, 16, close_button)
    write_bmp(os.path.join(folder, "English.bmp"), 24, 16, english_flag)


if __name__ == "__main__":
    main()
