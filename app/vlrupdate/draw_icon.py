#!/usr/bin/env python3
"""Draws VLRUpdate's icon (a downward arrow on a blue tile) as an .ico file
with 16, 32 and 48 pixel images, 32-bit with alpha.

  draw_icon.py OUTPUT.ico
"""
import struct
import sys


def pixel(x, y, n):
    """BGRA of the pixel at x, y (top row y = 0) of an n-by-n image."""
    u, v = (x + 0.5) / n, (y + 0.5) / n
    # Rounded tile.
    r = 0.18
    cx, cy = min(max(u, r), 1 - r), min(max(v, r), 1 - r)
    if (u - cx) ** 2 + (v - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    # Arrow: a shaft and a head pointing down, and a bar underneath.
    shaft = abs(u - 0.5) < 0.09 and 0.18 < v < 0.55
    head = 0.5 <= v < 0.74 and abs(u - 0.5) < (0.74 - v) * 1.15
    bar = abs(u - 0.5) < 0.3 and 0.78 < v < 0.86
    if shaft or head or bar:
        return (255, 255, 255, 255)
    shade = int(60 * v)
    return (200 - shade, 120 - shade // 2, 30, 255)


def image(n):
    rows = []
    for y in reversed(range(n)):  # bottom-up
        rows.append(b"".join(struct.pack("4B", *pixel(x, y, n)) for x in range(n)))
    xor = b"".join(rows)
    mask_row = ((n + 31) // 32) * 4
    and_mask = b"\0" * (mask_row * n)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(and_mask),
                         0, 0, 0, 0)
    return header + xor + and_mask


def main():
    sizes = [16, 32, 48]
    images = [image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
