#!/usr/bin/env python3
"""Draws the pictures of marlpane:

    marlpane/app/icons/*.ico     the window icon and the row type icons, each
                                 16, 20, 24 and 32 pixels square (32-bit colour
                                 with a mask): one size for each display scale
                                 from 100 % to 200 %
    assets/marlpane/banner.png   the default banner above the option list,
                                 24-bit, 600 x 64 (the entry "banner.bmp")
    assets/marlpane/banner@2x.png  the same banner drawn at 1200 x 128, shown
                                 instead of a stretched banner above 100 %
                                 (the entry "banner@2x.bmp")
    assets/marlpane/settings     the 84-byte settings record (its bytes are not
                                 read by the editor; it only has to be there)

Every picture is drawn from a few shapes on a 16-unit grid (icons) or from
strokes (the banner's lettering), so that the files come out the same on
every run; the generated files are committed.
Usage: scripts/make_marlpane_assets.py [ICON_FOLDER ASSET_FOLDER]
"""
import math
import os
import struct
import sys

from png_file import write_png

# Icon palette.
INK = (0x2C, 0x3E, 0x50)        # outlines and text
PAPER = (0xFF, 0xFF, 0xFF)
PAPER_SHADE = (0xE4, 0xEA, 0xF2)
BLUE = (0x2F, 0x6F, 0xC8)
LIGHT_BLUE = (0xA8, 0xC8, 0xF0)
YELLOW = (0xF2, 0xC1, 0x3A)
DARK_YELLOW = (0xB8, 0x86, 0x12)
GREEN = (0x3C, 0xA0, 0x48)
RED = (0xD6, 0x3A, 0x2E)
GREY = (0x9A, 0xA4, 0xB0)
DARK_GREY = (0x5C, 0x66, 0x72)
SILVER = (0xD4, 0xDA, 0xE2)


class Canvas:
    """An icon of size x size pixels drawn in units of size / 16 pixels.

    A pixel belongs to a shape when its centre lies inside it, so the
    16-pixel icon is crisp pixel art and the 32-pixel one the same drawing
    at twice the detail. At the sizes between (20 and 24) outlines and the
    pixels of the unit font keep a whole number of pixels, so that a frame
    is as thick on every side and letters stay even."""

    def __init__(self, size):
        self.size = size
        self.scale = size / 16.0
        self.pixels = [[None] * size for _ in range(size)]  # None: transparent

    def _fill(self, inside, box=None):
        x0, y0, x1, y1 = box if box else (0, 0, 16, 16)
        s = self.scale
        for py in range(max(0, int(y0 * s) - 1), min(self.size, int(y1 * s) + 2)):
            for px in range(max(0, int(x0 * s) - 1), min(self.size, int(x1 * s) + 2)):
                u, v = (px + 0.5) / s, (py + 0.5) / s
                colour = inside(u, v)
                if colour:
                    self.pixels[py][px] = colour

    def rect(self, x0, y0, x1, y1, colour):
        self._fill(lambda u, v: colour if x0 <= u < x1 and y0 <= v < y1 else None, (x0, y0, x1, y1))

    def snap(self, unit):
        """The first pixel whose centre lies at or after the unit coordinate."""
        return math.ceil(unit * self.scale - 0.5)

    def frame(self, x0, y0, x1, y1, outline, fill=None, width=1.0):
        # In whole pixels: the outline as thick on every side.
        px0, py0, px1, py1 = self.snap(x0), self.snap(y0), self.snap(x1), self.snap(y1)
        thick = max(1, int(width * self.scale + 0.5))
        for py in range(max(0, py0), min(self.size, py1)):
            for px in range(max(0, px0), min(self.size, px1)):
                edge = px < px0 + thick or px >= px1 - thick or py < py0 + thick or py >= py1 - thick
                colour = outline if edge else fill
                if colour:
                    self.pixels[py][px] = colour

    def ellipse(self, cx, cy, rx, ry, colour):
        self._fill(lambda u, v: colour if ((u - cx) / rx) ** 2 + ((v - cy) / ry) ** 2 <= 1 else None,
                   (cx - rx, cy - ry, cx + rx, cy + ry))

    def ring(self, cx, cy, r, width, colour):
        def inside(u, v):
            d = math.hypot(u - cx, v - cy)
            return colour if r - width <= d <= r else None
        self._fill(inside, (cx - r, cy - r, cx + r, cy + r))

    def line(self, x0, y0, x1, y1, colour, width=1.0):
        def inside(u, v):
            dx, dy = x1 - x0, y1 - y0
            t = 0.0 if dx == dy == 0 else max(0.0, min(1.0, ((u - x0) * dx + (v - y0) * dy) / (dx * dx + dy * dy)))
            return colour if math.hypot(u - x0 - t * dx, v - y0 - t * dy) <= width / 2 else None
        pad = width / 2 + 1
        self._fill(inside, (min(x0, x1) - pad, min(y0, y1) - pad, max(x0, x1) + pad, max(y0, y1) + pad))

    def polygon(self, points, colour):
        def inside(u, v):
            hit = False
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay > v) != (by > v) and u < ax + (v - ay) * (bx - ax) / (by - ay):
                    hit = not hit
            return colour if hit else None
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self._fill(inside, (min(xs), min(ys), max(xs), max(ys)))

    def text(self, x, y, text, colour):
        """Glyphs of the small unit font below, one unit apart; a glyph pixel
        is a whole number of pixels (1 up to 31 pixels, 2 at 32)."""
        dot = max(1, int(self.scale))
        px, py = self.snap(x), self.snap(y)
        for ch in text:
            rows = FONT[ch]
            for r, bits in enumerate(rows):
                for c, bit in enumerate(bits):
                    if bit == "#":
                        for yy in range(py + r * dot, min(self.size, py + (r + 1) * dot)):
                            for xx in range(px + c * dot, min(self.size, px + (c + 1) * dot)):
                                self.pixels[yy][xx] = colour
            px += (len(rows[0]) + 1) * dot


FONT = {
    "0": ["###", "#.#", "#.#", "#.#", "###"],
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["###", "..#", "###", "#..", "###"],
    "3": ["###", "..#", ".##", "..#", "###"],
    "x": ["...", "#.#", ".#.", "#.#", "..."],
    "A": [".##.", "#..#", "####", "#..#", "#..#"],
    "a": ["###", "..#", "###", "#.#", "###"],
    "b": ["#...", "#...", "###.", "#..#", "###."],
    "F": ["###", "#..", "##.", "#..", "#.."],
}


# The icons, each a function of the canvas. Units: 16 across.

def window_icon(c):
    """The editor: a pane whose rows are options, one being edited."""
    c.frame(1, 2, 15, 14, INK, PAPER)
    c.rect(2, 3, 14, 5, BLUE)
    for i, y in enumerate((6, 8.5, 11)):
        c.rect(3, y, 6, y + 1.5, LIGHT_BLUE if i != 1 else YELLOW)
        c.rect(7, y, 13, y + 1.5, PAPER_SHADE if i != 1 else YELLOW)
    c.line(8, 14.5, 14.5, 8, DARK_YELLOW, 2.2)
    c.line(8.6, 13.9, 14, 8.5, YELLOW, 1.0)
    c.rect(7, 14, 9, 16, INK)


def text_icon(c):
    """Text: a one-line field holding letters and the caret."""
    c.frame(0, 4, 16, 12, INK, PAPER)
    c.text(2, 6, "Ab", INK)
    c.rect(12, 5, 13, 11, BLUE)


def folder_icon(c):
    c.polygon([(1, 3), (6, 3), (7.5, 5), (15, 5), (15, 14), (1, 14)], DARK_YELLOW)
    c.polygon([(2, 4), (5.5, 4), (7, 6), (14, 6), (14, 13), (2, 13)], YELLOW)
    c.rect(2, 7, 14, 8, DARK_YELLOW)


def email_icon(c):
    c.frame(1, 3, 15, 13, INK, PAPER)
    c.line(1.5, 3.5, 8, 9, INK, 1.1)
    c.line(14.5, 3.5, 8, 9, INK, 1.1)


def hex_icon(c):
    """Text stored as hexadecimal digits."""
    c.frame(0, 4, 16, 12, INK, PAPER)
    c.text(2, 6, "0x", BLUE)
    c.text(10, 6, "F", INK)


def image_icon(c):
    c.frame(1, 2, 15, 14, INK, LIGHT_BLUE)
    c.ellipse(11, 5.5, 1.6, 1.6, YELLOW)
    c.polygon([(2, 13), (6.5, 6.5), (10, 11), (11.5, 9.5), (14, 13)], GREEN)


def choice_icon(c):
    """A drop-down list: the field with its arrow, the items under it."""
    c.frame(0, 1, 16, 6, INK, PAPER)
    c.rect(11, 2, 15, 5, SILVER)
    c.polygon([(11.8, 2.8), (14.2, 2.8), (13, 4.4)], INK)
    c.frame(1, 6, 15, 15, INK, PAPER)
    c.rect(2, 9.5, 14, 11.5, BLUE)
    c.rect(3, 7.5, 10, 8.5, GREY)
    c.rect(3, 10, 9, 11, PAPER)
    c.rect(3, 12.5, 11, 13.5, GREY)


def colour_icon(c):
    c.frame(1, 1, 15, 15, INK, PAPER)
    c.rect(2, 2, 8, 8, RED)
    c.rect(8, 2, 14, 8, GREEN)
    c.rect(2, 8, 8, 14, BLUE)
    c.rect(8, 8, 14, 14, YELLOW)


def number_icon(c):
    c.frame(0, 4, 16, 12, INK, PAPER)
    c.text(2, 6, "123", INK)


def toggle_icon(c):
    """A switch that is on."""
    c.ellipse(5, 8, 4.5, 4.5, INK)
    c.ellipse(11, 8, 4.5, 4.5, INK)
    c.rect(5, 3.5, 11, 12.5, INK)
    c.ellipse(5, 8, 3.5, 3.5, GREEN)
    c.ellipse(11, 8, 3.5, 3.5, GREEN)
    c.rect(5, 4.5, 11, 11.5, GREEN)
    c.ellipse(11, 8, 2.8, 2.8, PAPER)


def password_icon(c):
    """A key."""
    c.ellipse(5, 8, 4, 4, DARK_YELLOW)
    c.ellipse(5, 8, 3, 3, YELLOW)
    c.ellipse(4.5, 8, 1.2, 1.2, PAPER)
    c.rect(8.5, 7, 15, 9.5, DARK_YELLOW)
    c.rect(12, 9.5, 13.5, 12, DARK_YELLOW)
    c.rect(14, 9.5, 15, 11, DARK_YELLOW)
    c.rect(9, 7.5, 14.5, 8.5, YELLOW)


def readonly_icon(c):
    """A padlock."""
    c.ring(8, 6, 4.5, 1.6, DARK_GREY)
    c.rect(2, 7, 14, 15, DARK_YELLOW)
    c.rect(3, 8, 13, 14, YELLOW)
    c.rect(7, 9.5, 9, 12.5, INK)


def date_icon(c):
    """A calendar page."""
    c.frame(1, 2, 15, 15, INK, PAPER)
    c.rect(2, 3, 14, 6, RED)
    c.rect(4, 1, 5, 4, INK)
    c.rect(11, 1, 12, 4, INK)
    for row in range(3):
        for col in range(4):
            x, y = 3 + col * 3, 7 + row * 2.6
            c.rect(x, y, x + 1.6, y + 1.5, INK if (row, col) != (1, 2) else RED)


def blank_icon(c):
    """Nothing: rows that have no type icon of their own."""


def time_icon(c):
    """A clock showing ten past two."""
    c.ellipse(8, 8, 7.5, 7.5, INK)
    c.ellipse(8, 8, 6.3, 6.3, PAPER)
    for a in range(0, 360, 90):
        x, y = 8 + 5.2 * math.sin(math.radians(a)), 8 - 5.2 * math.cos(math.radians(a))
        c.rect(x - 0.5, y - 0.5, x + 0.5, y + 0.5, DARK_GREY)
    c.line(8, 8, 8, 3.4, INK, 1.2)
    c.line(8, 8, 11.6, 8, BLUE, 1.2)
    c.rect(7.5, 7.5, 8.5, 8.5, RED)


def multiline_icon(c):
    """Several lines of text and a line break."""
    c.frame(1, 1, 15, 15, INK, PAPER)
    c.rect(3, 3.5, 13, 4.5, INK)
    c.rect(3, 6.5, 11, 7.5, INK)
    c.rect(3, 9.5, 8, 10.5, INK)
    c.line(12.5, 9, 12.5, 12.5, BLUE, 1.1)
    c.line(12.5, 12.5, 9, 12.5, BLUE, 1.1)
    c.polygon([(8, 12.5), (10, 10.8), (10, 14.2)], BLUE)


def file_icon(c):
    """A page with a folded corner."""
    c.polygon([(2.5, 0.5), (10, 0.5), (14, 4.5), (14, 15.5), (2.5, 15.5)], INK)
    c.polygon([(3.5, 1.5), (9.5, 1.5), (13, 5), (13, 14.5), (3.5, 14.5)], PAPER)
    c.polygon([(9.5, 1.5), (9.5, 5), (13, 5)], PAPER_SHADE)
    c.line(9.5, 1.5, 9.5, 5, INK, 1)
    c.line(9.5, 5, 13, 5, INK, 1)
    for y in (7, 9.5, 12):
        c.rect(5, y, 11.5, y + 1, GREY)


def drive_icon(c):
    """A fixed disk: a box with its light on."""
    c.polygon([(2, 6), (4, 3), (12, 3), (14, 6)], GREY)
    c.frame(1, 6, 15, 13, INK, SILVER)
    c.rect(2, 11, 14, 12, GREY)
    c.rect(11, 8, 13, 9.5, GREEN)
    c.rect(3, 8, 9, 9, DARK_GREY)


def removable_icon(c):
    """A diskette."""
    c.polygon([(1, 1), (13, 1), (15, 3), (15, 15), (1, 15)], INK)
    c.rect(2, 2, 14, 14, BLUE)
    c.rect(4, 2, 12, 6.5, SILVER)
    c.rect(9, 2.5, 11, 6, INK)
    c.rect(3.5, 9, 12.5, 14, PAPER)
    c.rect(4.5, 10.5, 11.5, 11.2, GREY)
    c.rect(4.5, 12.3, 10, 13, GREY)


def cd_icon(c):
    c.ellipse(8, 8, 7.5, 7.5, DARK_GREY)
    c.ellipse(8, 8, 6.6, 6.6, SILVER)
    c.polygon([(8, 8), (15, 4), (15, 9)], LIGHT_BLUE)
    c.polygon([(8, 8), (1, 12), (1, 7)], (0xF0, 0xD8, 0x90))
    c.ellipse(8, 8, 2.4, 2.4, DARK_GREY)
    c.ellipse(8, 8, 1.3, 1.3, PAPER)


def font_icon(c):
    """A large A beside a small a."""
    c.line(1.5, 14.5, 6.5, 1.5, INK, 2)
    c.line(6.5, 1.5, 11.5, 14.5, INK, 2)
    c.rect(4, 9, 9, 11, INK)
    c.text(12, 10, "a", RED)


def window_kind_icon(c):
    """A window of another program."""
    c.frame(1, 2, 15, 14, INK, PAPER)
    c.rect(2, 3, 14, 6, BLUE)
    c.rect(11, 3.8, 13, 5.2, PAPER)
    c.rect(3, 8, 9, 9, GREY)
    c.rect(3, 10.5, 12, 11.5, GREY)


# Resource id -> (file name, drawing). The list shows 19 of them (see the
# icon list of the main dialog); the others are there for row types whose
# rows carry no icon.
ICONS = {
    102: ("marlpane", window_icon),
    103: ("text", text_icon),
    104: ("folder", folder_icon),
    105: ("email", email_icon),
    106: ("hex_text", hex_icon),
    107: ("image_file", image_icon),
    108: ("choice", choice_icon),
    109: ("colour", colour_icon),
    110: ("number", number_icon),
    111: ("toggle", toggle_icon),
    112: ("password", password_icon),
    113: ("read_only", readonly_icon),
    114: ("date", date_icon),
    115: ("blank", blank_icon),
    116: ("time", time_icon),
    118: ("multi_line", multiline_icon),
    119: ("file", file_icon),
    120: ("drive", drive_icon),
    121: ("removable_drive", removable_icon),
    122: ("cd_drive", cd_icon),
    123: ("font", font_icon),
    124: ("window", window_kind_icon),
}


# The sizes of every icon: 16 at 100 %, 20 at 125 %, 24 at 150 %, 32 at 200 %.
ICON_SIZES = (16, 20, 24, 32)


def icon_image(canvas):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA rows and the AND mask,
    both bottom-up."""
    n = canvas.size
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_row = ((n + 31) // 32) * 4
    for y in range(n - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(n):
            p = canvas.pixels[y][x]
            if p is None:
                colour += bytes((0, 0, 0, 0))
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                colour += bytes((p[2], p[1], p[0], 255))
        mask += bits
    return header + bytes(colour) + bytes(mask)


def write_icon(path, draw):
    images = []
    for size in ICON_SIZES:
        canvas = Canvas(size)
        draw(canvas)
        images.append((size, icon_image(canvas)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(data for _, data in images))


# The banner: lettering from strokes, anti-aliased by sampling each pixel 4 x 4
# times, on a band that fades from blue to the dialog's own colour.

def arc(cx, cy, r, start, end, steps=24):
    """Points of an arc, angles in degrees counter-clockwise, y up."""
    return [(cx + r * math.cos(math.radians(start + (end - start) * i / steps)),
             cy + r * math.sin(math.radians(start + (end - start) * i / steps))) for i in range(steps + 1)]


# Glyphs on a grid where the x-height is 1: (advance, strokes); each stroke a
# polyline, y up from the baseline.
GLYPHS = {
    "M": (1.25, [[(0.05, 0), (0.05, 1.4), (0.6, 0.35), (1.15, 1.4), (1.15, 0)]]),
    "a": (0.72, [arc(0.33, 0.5, 0.33, 0, 360, 40), [(0.66, 1), (0.66, 0)]]),
    "d": (0.72, [arc(0.33, 0.5, 0.33, 0, 360, 40), [(0.66, 1.4), (0.66, 0)]]),
    "e": (0.7, [[(0.0, 0.5), (0.66, 0.5)] + arc(0.33, 0.5, 0.33, 0, 315, 36)]),
    "g": (0.72, [arc(0.33, 0.5, 0.33, 0, 360, 40),
                 [(0.66, 1), (0.66, -0.1)] + arc(0.33, -0.1, 0.33, 0, -150, 12)]),
    "i": (0.26, [[(0.08, 0), (0.08, 1)], [(0.08, 1.3), (0.08, 1.31)]]),
    "l": (0.26, [[(0.08, 0), (0.08, 1.4)]]),
    "n": (0.7, [[(0.05, 0), (0.05, 1)], [(0.05, 0.65)] + arc(0.33, 0.65, 0.28, 180, 0, 16) + [(0.61, 0)]]),
    "o": (0.72, [arc(0.33, 0.5, 0.33, 0, 360, 40)]),
    "p": (0.72, [arc(0.38, 0.5, 0.33, 0, 360, 40), [(0.05, 1), (0.05, -0.45)]]),
    "r": (0.46, [[(0.05, 0), (0.05, 1)], [(0.05, 0.6)] + arc(0.36, 0.6, 0.31, 180, 60, 10)]),
    "s": (0.56, [arc(0.25, 0.75, 0.25, 30, 270, 18) + arc(0.25, 0.25, 0.25, 90, -150, 18)]),
    "t": (0.42, [[(0.16, 1.3), (0.16, 0.12)] + arc(0.34, 0.12, 0.18, 180, 300, 6), [(0.0, 1), (0.38, 1)]]),
    " ": (0.35, []),
}


class Banner:
    def __init__(self, width, height, background):
        self.width, self.height = width, height
        self.pixels = [[background(x, y) for x in range(width)] for y in range(height)]

    def strokes(self, segments, pen, colour):
        """Blends the pen's coverage of every segment into the pixels."""
        coverage = {}
        r = pen / 2
        for (x0, y0), (x1, y1) in segments:
            dx, dy = x1 - x0, y1 - y0
            length2 = dx * dx + dy * dy
            for py in range(max(0, int(min(y0, y1) - r - 1)), min(self.height, int(max(y0, y1) + r + 2))):
                for px in range(max(0, int(min(x0, x1) - r - 1)), min(self.width, int(max(x0, x1) + r + 2))):
                    bits = coverage.get((px, py), 0)
                    for s in range(16):
                        if bits & (1 << s):
                            continue
                        u, v = px + (s % 4 + 0.5) / 4, py + (s // 4 + 0.5) / 4
                        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((u - x0) * dx + (v - y0) * dy) / length2))
                        if (u - x0 - t * dx) ** 2 + (v - y0 - t * dy) ** 2 <= r * r:
                            bits |= 1 << s
                    coverage[(px, py)] = bits
        for (px, py), bits in coverage.items():
            a = bin(bits).count("1") / 16
            old = self.pixels[py][px]
            self.pixels[py][px] = tuple(round(old[i] + (colour[i] - old[i]) * a) for i in range(3))

    def lettering(self, text, x, baseline, x_height, pen, colour, spacing=0.24):
        segments = []
        for ch in text:
            advance, strokes = GLYPHS[ch]
            for stroke in strokes:
                points = [(x + px * x_height, baseline - py * x_height) for px, py in stroke]
                segments += list(zip(points, points[1:])) if len(points) > 1 else [(points[0], points[0])]
            x += (advance + spacing) * x_height
        self.strokes(segments, pen, colour)
        return x

    def text_width(self, text, x_height, spacing=0.24):
        return sum((GLYPHS[ch][0] + spacing) * x_height for ch in text) - spacing * x_height

    def write(self, path):
        write_png(path, self.pixels)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


BANNER_WIDTH, BANNER_HEIGHT = 600, 64
DIALOG = (230, 230, 220)          # the dialog's default background colour
BAND_LEFT = (0x1F, 0x4E, 0x8C)
BAND_RIGHT = (0x4C, 0x8E, 0xD0)


def banner_background(k):
    """The band of the banner drawn k times as large: its pixel colours."""
    width, height, edge = BANNER_WIDTH * k, BANNER_HEIGHT * k, 6 * k  # rounded band corners

    def colour_at(x, y):
        inside = True
        for cx, cy in ((edge, edge), (width - 1 - edge, edge), (edge, height - 1 - edge),
                       (width - 1 - edge, height - 1 - edge)):
            if (x < edge or x > width - 1 - edge) and (y < edge or y > height - 1 - edge):
                if abs(x - cx) <= edge and abs(y - cy) <= edge:
                    inside = math.hypot(x - cx, y - cy) <= edge
        if not inside:
            return DIALOG
        colour = mix(BAND_LEFT, BAND_RIGHT, x / width)
        # a lighter sheen over the upper half
        if y < height // 2:
            colour = mix(colour, (255, 255, 255), 0.10 * (1 - y / (height / 2)))
        return colour
    return colour_at


def draw_banner(path, k=1):
    """The banner at k times its size (1: banner.png, 2: banner@2x.png), every
    figure of the drawing multiplied, so that the larger one has the detail
    of its size."""
    banner = Banner(BANNER_WIDTH * k, BANNER_HEIGHT * k, banner_background(k))
    white = (0xFF, 0xFF, 0xFF)
    pale = (0xC8, 0xDC, 0xF4)
    # The rows motif on the right: option rows with a value being typed.
    left = (BANNER_WIDTH - 190) * k
    for i in range(4):
        y = (11 + i * 11) * k
        shade = mix(BAND_RIGHT, white, 0.25 if i % 2 else 0.15)
        for yy in range(y, y + 8 * k):
            for xx in range(left, left + 170 * k):
                banner.pixels[yy][xx] = shade if i != 2 else mix(BAND_RIGHT, (0xF2, 0xC1, 0x3A), 0.85)
        for yy in range(y + 3 * k, y + 5 * k):
            for xx in range(left + 6 * k, left + 50 * k):
                banner.pixels[yy][xx] = mix(shade, white, 0.7)
            for xx in range(left + 70 * k, left + (150 if i != 2 else 120) * k):
                banner.pixels[yy][xx] = mix(shade, BAND_LEFT, 0.5) if i != 2 else BAND_LEFT
    for yy in range((11 + 22) * k, (11 + 30) * k):  # the caret of the row being edited
        for xx in range((BANNER_WIDTH - 190 + 123) * k, (BANNER_WIDTH - 190 + 124) * k):
            banner.pixels[yy][xx] = BAND_LEFT
    end = banner.lettering("Marlpane", 24 * k, 45 * k, 22 * k, 4.2 * k, white)
    banner.lettering("settings editor", end + 16 * k, 45 * k, 10 * k, 1.9 * k, pale)
    banner.write(path)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    icons = sys.argv[1] if len(sys.argv) > 2 else os.path.join(root, "marlpane", "app", "icons")
    assets = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "assets", "marlpane")
    os.makedirs(icons, exist_ok=True)
    os.makedirs(assets, exist_ok=True)
    for resource, (name, draw) in sorted(ICONS.items()):
        write_icon(os.path.join(icons, "%d_%s.ico" % (resource, name)), draw)
    draw_banner(os.path.join(assets, "banner.png"))
    draw_banner(os.path.join(assets, "banner@2x.png"), 2)
    with open(os.path.join(assets, "settings"), "wb") as f:
        f.write(bytes(84))


if __name__ == "__main__":
    main()
