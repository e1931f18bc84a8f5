#!/usr/bin/env python3
"""Draws the program's icon (an antenna mast sending waves, on a blue tile) into resources/kestrivane.ico."""
import math
import struct
import sys

SIZES = (16, 24, 32, 48, 64)
SAMPLES = 4  # supersampling per axis


def coverage_tile(x, y):
    r = 0.18  # rounded corners
    dx = max(abs(x - 0.5) - (0.5 - r), 0)
    dy = max(abs(y - 0.5) - (0.5 - r), 0)
    return math.hypot(dx, dy) <= r


def mast(x, y):
    # A triangle mast from (0.36,0.86)-(0.64,0.86) to its tip at (0.5,0.42), plus a ball on top.
    if math.hypot(x - 0.5, y - 0.40) <= 0.065:
        return True
    if 0.42 <= y <= 0.86:
        half = 0.03 + (y - 0.42) / 0.44 * 0.11
        return abs(x - 0.5) <= half
    return False


def waves(x, y):
    d = math.hypot(x - 0.5, y - 0.40)
    angle = math.degrees(math.atan2(0.40 - y, x - 0.5))
    side = abs(angle) <= 50 or abs(angle) >= 130
    return side and any(abs(d - r) <= 0.035 for r in (0.17, 0.29))


def pixel(size, px, py):
    tile = fg = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = (px + (sx + 0.5) / SAMPLES) / size
            y = (py + (sy + 0.5) / SAMPLES) / size
            if coverage_tile(x, y):
                tile += 1
                if mast(x, y) or waves(x, y):
                    fg += 1
    n = SAMPLES * SAMPLES
    if tile == 0:
        return (0, 0, 0, 0)
    a = tile / n
    f = fg / tile
    bg = (0x1F, 0x5F, 0xB4)
    white = (0xFF, 0xFF, 0xFF)
    rgb = tuple(round(bg[i] * (1 - f) + white[i] * f) for i in range(3))
    return rgb + (round(255 * a),)


def image(size):
    rows = []
    for py in reversed(range(size)):  # bottom-up
        row = b""
        for px in range(size):
            r, g, b, a = pixel(size, px, py)
            row += bytes((b, g, r, a))
        rows.append(row)
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytes(mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main(out):
    images = [image(s) for s in SIZES]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, img in zip(SIZES, images):
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b"".join(images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/kestrivane.ico")
