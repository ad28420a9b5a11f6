#!/usr/bin/env python3
"""Draws the default skin of tollwren (reproducibly; the output is committed):

    assets/tollwren/bmk.png        background, 600 x 300 (it also sets the window size)
    assets/tollwren/bmc.bmp        close button, 16 x 16, drawn over the background behind it
    assets/tollwren/bmk@2x.png     the background at twice the size, for scales above 100 %
    assets/tollwren/bmc@2x.bmp     the close button at twice the size
    assets/tollwren/NAME.bmp       the flag (or badge) of each delivered language, 24 x 16
    tollwren/app/tollwren.ico      the program icon, 16 x 16 and 32 x 32

Every image is drawn from simple shapes, each pixel averaged over 4 x 4
samples so that edges are smooth (2 x 2 for the twice-as-large images: the
same samples per area). The large backgrounds are PNG files (they keep
the updater small), the small images bitmaps.
Usage: scripts/make_tollwren_assets.py [ASSET_FOLDER [ICON_FILE]]
"""
import math
import os
import struct
import sys

from png_file import write_png

WIDTH, HEIGHT, BAND = 600, 300, 62
CLOSE_SIZE, CLOSE_X, CLOSE_Y = 16, WIDTH - 26, 10   # where the layout puts the close button
FLAG_W, FLAG_H = 24, 16
SAMPLES = 4

BAND_TOP = (0x1E, 0x4A, 0x7A)
BAND_BOTTOM = (0x13, 0x2F, 0x52)
ACCENT = (0xF2, 0xA3, 0x2C)
BODY_TOP = (0xFB, 0xFC, 0xFE)
BODY_BOTTOM = (0xE3, 0xEA, 0xF3)
FRAME = (0x8C, 0xA0, 0xBA)
WHITE = (0xFF, 0xFF, 0xFF)


def mix(a, b, t):
    t = min(1.0, max(0.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def render(width, height, shade, scale=1):
    """shade(x, y) -> (r, g, b) at a point in pixel units of the 1x image;
    the image is scale times as large, each pixel averaged over samples."""
    samples = SAMPLES // scale
    rows = []
    for y in range(height * scale):
        row = []
        for x in range(width * scale):
            total = [0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    c = shade((x + (sx + 0.5) / samples) / scale, (y + (sy + 0.5) / samples) / scale)
                    for i in range(3):
                        total[i] += c[i]
            row.append(tuple(int(round(v / samples ** 2)) for v in total))
        rows.append(row)
    return rows


def write_bmp(path, rows):
    height, width = len(rows), len(rows[0])
    row_bytes = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + bytes(row_bytes - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_ico(path, images):
    """images: list of (rows, alpha_rows) of 32-bit pixels."""
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for rows, alpha in images:
        size = len(rows)
        pixels = bytearray()
        for y in range(size - 1, -1, -1):
            for x in range(size):
                r, g, b = rows[y][x]
                pixels += bytes((b, g, r, alpha[y][x]))
        mask_row = ((size + 31) // 32) * 4
        mask = bytes(mask_row * size)  # the alpha channel decides
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
        blob = info + pixels + mask
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset)
        blobs += blob
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + entries + blobs)


# -- shapes -----------------------------------------------------------------

def in_round_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def in_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def star(cx, cy, outer, rotation=-math.pi / 2):
    inner = outer * 0.382
    points = []
    for k in range(10):
        radius = outer if k % 2 == 0 else inner
        angle = rotation + k * math.pi / 5
        points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return points


def in_refresh_arrows(x, y, cx, cy, outer, thickness):
    """Two curved arrows chasing each other around a circle: the update sign."""
    dx, dy = x - cx, y - cy
    distance = math.hypot(dx, dy)
    angle = math.degrees(math.atan2(dy, dx)) % 360
    inner = outer - thickness
    for start in (20, 200):
        span = (angle - start) % 360
        if inner <= distance <= outer and span <= 130:
            return True
        # arrow head at the end of each arc, pointing along the circle
        end = math.radians(start + 130)
        mid = (outer + inner) / 2
        tip = (cx + mid * math.cos(end + 0.45), cy + mid * math.sin(end + 0.45))
        base_out = (cx + (outer + thickness * 0.7) * math.cos(end), cy + (outer + thickness * 0.7) * math.sin(end))
        base_in = (cx + (inner - thickness * 0.7) * math.cos(end), cy + (inner - thickness * 0.7) * math.sin(end))
        if in_polygon(x, y, [tip, base_out, base_in]):
            return True
    return False


# -- background and close button --------------------------------------------

def background(x, y):
    if x < 1 or y < 1 or x > WIDTH - 1 or y > HEIGHT - 1:
        return FRAME
    if y < BAND:
        colour = mix(BAND_TOP, BAND_BOTTOM, y / BAND)
        # a soft light from the upper left
        glow = max(0.0, 1 - math.hypot(x - 60, y + 40) / 260)
        colour = mix(colour, (0x3C, 0x6E, 0xA6), glow * 0.6)
        if in_refresh_arrows(x, y, 34, 31, 17, 5):
            colour = mix(colour, WHITE, 0.9)
        return colour
    if y < BAND + 3:
        return ACCENT
    colour = mix(BODY_TOP, BODY_BOTTOM, (y - BAND) / (HEIGHT - BAND))
    # a faint wave along the bottom edge under the footer
    wave = HEIGHT - 34 + 6 * math.sin(x / WIDTH * 2 * math.pi)
    if y > wave:
        colour = mix(colour, (0xD2, 0xDD, 0xEA), 0.8)
    return colour


def close_button(x, y):
    colour = background(CLOSE_X + x, CLOSE_Y + y)
    if in_round_rect(x, y, 0.5, 0.5, 15.5, 15.5, 3):
        colour = mix(colour, (0xC4, 0x3B, 0x3B), 0.85)
        # a cross of two bars, 2 pixels thick
        u, v = x - 8, y - 8
        if max(abs(u), abs(v)) <= 4.2 and (abs(u - v) <= 1.1 or abs(u + v) <= 1.1):
            colour = WHITE
    return colour


# -- flags --------------------------------------------------------------------

def stripes(colours, vertical=False, weights=None):
    weights = weights or [1] * len(colours)
    total = sum(weights)

    def shade(x, y):
        position = (x / FLAG_W if vertical else y / FLAG_H) * total
        for colour, weight in zip(colours, weights):
            if position < weight:
                return colour
            position -= weight
        return colours[-1]
    return shade


def union_flag(x, y):
    blue, red = (0x01, 0x21, 0x69), (0xC8, 0x10, 0x2E)
    colour = blue
    # the diagonals, in the flag's own proportions
    d1 = abs(y - x * FLAG_H / FLAG_W)
    d2 = abs(y - (FLAG_W - x) * FLAG_H / FLAG_W)
    if min(d1, d2) < 2.2:
        colour = WHITE
    if min(d1, d2) < 0.9:
        colour = red
    if abs(x - FLAG_W / 2) < 2.8 or abs(y - FLAG_H / 2) < 2.8:
        colour = WHITE
    if abs(x - FLAG_W / 2) < 1.6 or abs(y - FLAG_H / 2) < 1.6:
        colour = red
    return colour


def japan(x, y):
    return (0xBC, 0x00, 0x2D) if math.hypot(x - 12, y - 8) <= 4.8 else WHITE


def china(x, y):
    red, yellow = (0xEE, 0x1C, 0x25), (0xFF, 0xDE, 0x00)
    if in_polygon(x, y, star(4.5, 4.5, 3.2)):
        return yellow
    for sx, sy in ((8.8, 1.7), (10.3, 3.5), (10.3, 6.0), (8.8, 7.8)):
        angle = math.atan2(4.5 - sy, 4.5 - sx)
        if in_polygon(x, y, star(sx, sy, 1.15, angle)):
            return yellow
    return red


def portugal(x, y):
    green, red, yellow = (0x04, 0x6A, 0x38), (0xDA, 0x29, 0x1C), (0xFF, 0xE9, 0x00)
    distance = math.hypot(x - FLAG_W * 0.4, y - FLAG_H / 2)
    if distance <= 3.6:
        return yellow if distance > 2.2 else (0xDA, 0x29, 0x1C) if distance > 1.2 else WHITE
    return green if x < FLAG_W * 0.4 else red


# 3 x 5 pixel letters for the badges of languages without one flag.
LETTERS = {
    "A": ["010", "101", "111", "101", "101"],
    "R": ["110", "101", "110", "101", "101"],
}


def badge(text, colour):
    scale = 2
    width = len(text) * 4 * scale - scale
    left, top = (FLAG_W - width) / 2, (FLAG_H - 5 * scale) / 2

    def shade(x, y):
        cx, cy = int((x - left) // scale), int((y - top) // scale)
        if 0 <= cy < 5 and 0 <= cx and x >= left:
            index, column = divmod(cx, 4)
            if index < len(text) and column < 3 and LETTERS[text[index]][cy][column] == "1":
                return WHITE
        return colour
    return shade


FLAGS = {
    "English": union_flag,
    "German": stripes([(0, 0, 0), (0xDD, 0x00, 0x00), (0xFF, 0xCE, 0x00)]),
    "French": stripes([(0x00, 0x23, 0x95), WHITE, (0xED, 0x29, 0x39)], vertical=True),
    "Spanish": stripes([(0xAA, 0x15, 0x1B), (0xF1, 0xBF, 0x00), (0xAA, 0x15, 0x1B)], weights=[1, 2, 1]),
    "Italian": stripes([(0x00, 0x92, 0x46), WHITE, (0xCE, 0x2B, 0x37)], vertical=True),
    "Portuguese": portugal,
    "Dutch": stripes([(0xAE, 0x1C, 0x28), WHITE, (0x21, 0x46, 0x8B)]),
    "Polish": stripes([WHITE, (0xDC, 0x14, 0x3C)]),
    "Russian": stripes([WHITE, (0x00, 0x39, 0xA6), (0xD5, 0x2B, 0x1E)]),
    "Japanese": japan,
    "Chinese (Simplified)": china,
    "Arabic": badge("AR", (0x00, 0x7A, 0x3D)),
}


def framed(shade):
    def with_frame(x, y):
        if x < 1 or y < 1 or x > FLAG_W - 1 or y > FLAG_H - 1:
            return (0x50, 0x5A, 0x66)
        return shade(x, y)
    return with_frame


# -- icon ---------------------------------------------------------------------

def icon_images(size):
    scale = size / 32.0
    colours, alphas = [], []
    for y in range(size):
        row, alpha_row = [], []
        for x in range(size):
            total, cover = [0.0, 0.0, 0.0], 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    px, py = (x + (sx + 0.5) / SAMPLES) / scale, (y + (sy + 0.5) / SAMPLES) / scale
                    if not in_round_rect(px, py, 1, 1, 31, 31, 6):
                        continue
                    cover += 1
                    c = mix(BAND_TOP, BAND_BOTTOM, py / 32)
                    if in_refresh_arrows(px, py, 16, 16, 11, 3.6):
                        c = WHITE
                    for i in range(3):
                        total[i] += c[i]
            row.append(tuple(int(round(v / cover)) for v in total) if cover else (0, 0, 0))
            alpha_row.append(int(round(255 * cover / SAMPLES ** 2)))
        colours.append(row)
        alphas.append(alpha_row)
    return colours, alphas


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "assets", "tollwren")
    icon = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "tollwren", "app", "tollwren.ico")
    os.makedirs(folder, exist_ok=True)
    write_png(os.path.join(folder, "bmk.png"), render(WIDTH, HEIGHT, background))
    write_bmp(os.path.join(folder, "bmc.bmp"), render(CLOSE_SIZE, CLOSE_SIZE, close_button))
    write_png(os.path.join(folder, "bmk@2x.png"), render(WIDTH, HEIGHT, background, scale=2))
    write_bmp(os.path.join(folder, "bmc@2x.bmp"), render(CLOSE_SIZE, CLOSE_SIZE, close_button, scale=2))
    for name, shade in FLAGS.items():
        write_bmp(os.path.join(folder, name + ".bmp"), render(FLAG_W, FLAG_H, framed(shade)))
    write_ico(icon, [icon_images(16), icon_images(32)])


if __name__ == "__main__":
    main()
