#!/usr/bin/env python3
"""Draws resources/tidewell.ico: a dark rounded tile with three rising bars in the panel's blue.

Run it again after changing the drawing; the icon is committed so that builds need no Python.
"""
import struct
import sys
import zlib

BACKGROUND = (0x18, 0x18, 0x1B)
BAR = (0x2B, 0x7F, 0xFF)
SIZES = (16, 20, 24, 32, 40, 48, 64, 256)


def coverage(x, y, size):
    """Returns (alpha, colour) of the pixel centre (x, y) with 4x4 supersampling."""
    radius = size * 0.22
    bars = [(0.20, 0.55), (0.42, 0.38), (0.64, 0.22)]  # (left edge, top edge) as fractions
    bar_width = 0.16
    tile = 0
    bar = 0
    for sy in range(4):
        for sx in range(4):
            px = (x + (sx + 0.5) / 4) / size
            py = (y + (sy + 0.5) / 4) / size
            # Rounded square.
            cx = min(max(px * size, radius), size - radius)
            cy = min(max(py * size, radius), size - radius)
            if (px * size - cx) ** 2 + (py * size - cy) ** 2 <= radius * radius:
                tile += 1
                for left, top in bars:
                    if left <= px <= left + bar_width and top <= py <= 0.80:
                        bar += 1
                        break
    if tile == 0:
        return 0, BACKGROUND
    t = bar / tile
    colour = tuple(round(b * (1 - t) + f * t) for b, f in zip(BACKGROUND, BAR))
    return round(255 * tile / 16), colour


def pixels(size):
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            alpha, (r, g, b) = coverage(x, y, size)
            row.append((r, g, b, alpha))
        rows.append(row)
    return rows


def bmp_entry(size):
    rows = pixels(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytes(mask_row * size)
    return header + xor + and_mask


def png_entry(size):
    rows = pixels(size)
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main(path):
    images = [png_entry(s) if s >= 256 else bmp_entry(s) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/tidewell.ico")
