#!/usr/bin/env python3
"""Draws the application icon (a receipt printer with a removal mark) at 32x32 and 16x16
and writes both images into one .ico file (32-bit BGRA bitmaps with an AND mask)."""
import struct
import sys


def draw(size):
    """Returns rows of (r, g, b, a) pixels, top row first."""
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, color):
        for y in range(int(y0 * s), max(int(y0 * s) + 1, int(y1 * s))):
            for x in range(int(x0 * s), max(int(x0 * s) + 1, int(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = color

    def disc(cx, cy, r, color):
        for y in range(size):
            for x in range(size):
                if ((x + 0.5) / s - cx) ** 2 + ((y + 0.5) / s - cy) ** 2 <= r * r:
                    px[y][x] = color

    paper, ink = (250, 250, 245, 255), (120, 120, 130, 255)
    body, edge = (60, 66, 80, 255), (30, 33, 40, 255)
    rect(9, 2, 23, 14, paper)                      # receipt coming out of the top
    for line_y in (5, 8, 11):
        rect(11, line_y, 21, line_y + 1, ink)
    rect(3, 13, 29, 27, edge)                      # printer body with a darker rim
    rect(4, 14, 28, 26, body)
    rect(7, 16, 25, 18, edge)                      # paper slot
    rect(22, 21, 25, 23, (90, 200, 120, 255))      # power lamp
    disc(24, 24, 7, (255, 255, 255, 255))          # removal mark
    disc(24, 24, 6, (205, 40, 40, 255))
    rect(20, 23, 28, 25.5, (255, 255, 255, 255))
    return px


def bitmap(size):
    rows = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(struct.pack("<BBBB", b, g, r, a) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main(path):
    images = [(32, bitmap(32)), (16, bitmap(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app.ico")
