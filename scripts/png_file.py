"""Writes 24-bit PNG files for the asset scripts (make_*_assets.py), the same
bytes on every run: rows of (r, g, b) tuples, filtered row by row with the
filter that leaves the smallest sum (the usual heuristic), compressed at
zlib's level 9, no time or text chunks."""
import struct
import zlib


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _filtered(line, previous):
    """The row under each of the five filters; the one with the smallest sum
    of bytes taken as signed."""
    n = len(line)
    candidates = []
    for kind in range(5):
        out = bytearray(n)
        for i in range(n):
            a = line[i - 3] if i >= 3 else 0
            b = previous[i]
            c = previous[i - 3] if i >= 3 else 0
            predictor = (0, a, b, (a + b) // 2, _paeth(a, b, c))[kind]
            out[i] = (line[i] - predictor) & 0xFF
        candidates.append((sum(v if v < 128 else 256 - v for v in out), kind, out))
    _, kind, out = min(candidates)
    return bytes((kind,)) + bytes(out)


def _chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def write_png(path, rows):
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    previous = bytes(width * 3)
    for row in rows:
        line = bytes(v for pixel in row for v in pixel)
        raw += _filtered(line, previous)
        previous = line
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + _chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
                _chunk(b"IEND", b""))
