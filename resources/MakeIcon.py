#!/usr/bin/env python3
"""Draws the installer's icon (a box on a blue tile with an arrow into it) and writes Setup.ico.

The icon is committed; run this only to change it."""
import struct, sys


def pixel(x, y, n):
    s = n / 32.0
    X, Y = x / s, y / s                      # design coordinates on a 32 x 32 grid
    inside = 1 <= X < 31 and 1 <= Y < 31
    corner = min(X - 1, 30 - X, Y - 1, 30 - Y)
    if not inside or (corner < 2 and ((X < 3 or X > 28) and (Y < 3 or Y > 28))):
        return (0, 0, 0, 0)
    if 7 <= X < 25 and 17 <= Y < 27:         # the box
        return (0xF0, 0xC8, 0x60, 0xFF) if not (7 <= X < 25 and 17 <= Y < 19) else (0xC8, 0x96, 0x32, 0xFF)
    if 14 <= X < 18 and 4 <= Y < 12:          # arrow shaft
        return (0xFF, 0xFF, 0xFF, 0xFF)
    if 10 <= Y < 16 and abs(X - 16) < (16 - Y) + 0.5:  # arrow head
        return (0xFF, 0xFF, 0xFF, 0xFF)
    return (0x2A, 0x5C, 0xB8, 0xFF)


def image(n):
    rows = []
    for y in range(n - 1, -1, -1):           # bottom-up
        rows.append(b"".join(bytes((b, g, r, a)) for (r, g, b, a) in (pixel(x, y, n) for x in range(n))))
    xor = b"".join(rows)
    mask_row = ((n + 31) // 32) * 4
    and_mask = bytes(mask_row * n)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


sizes = [16, 32, 48]
images = [image(n) for n in sizes]
out = struct.pack("<HHH", 0, 1, len(sizes))
offset = 6 + 16 * len(sizes)
for n, data in zip(sizes, images):
    out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
out += b"".join(images)
with open(sys.argv[1] if len(sys.argv) > 1 else "Setup.ico", "wb") as f:
    f.write(out)
