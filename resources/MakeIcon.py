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
    """One 4-bit image: the few colours of the drawing in a palette, the clear pixels in the AND
    mask. Every pixel is either opaque or clear, so it shows exactly as a 32-bit image would, in
    under a fifth of the bytes."""
    pixels = [[pixel(x, y, n) for x in range(n)] for y in range(n - 1, -1, -1)]   # bottom-up
    palette = [(0, 0, 0)]
    for row in pixels:
        for (r, g, b, a) in row:
            if a and (r, g, b) not in palette:
                palette.append((r, g, b))
    assert len(palette) <= 16
    xor = b""
    and_mask = b""
    for row in pixels:
        index = [palette.index((r, g, b)) if a else 0 for (r, g, b, a) in row]
        clear = [0 if a else 1 for (r, g, b, a) in row]
        line = bytes(index[x] << 4 | index[x + 1] for x in range(0, n, 2))
        xor += line + bytes(-len(line) % 4)
        bits = bytes(sum(clear[x + i] << (7 - i) for i in range(8)) for x in range(0, n, 8))
        and_mask += bits + bytes(-len(bits) % 4)
    colours = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    colours += bytes(4 * (16 - len(palette)))
    size = len(xor) + len(and_mask)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 4, 0, size, 0, 0, 16, 0)
    return header + colours + xor + and_mask


sizes = [16, 32, 48]
images = [image(n) for n in sizes]
out = struct.pack("<HHH", 0, 1, len(sizes))
offset = 6 + 16 * len(sizes)
for n, data in zip(sizes, images):
    out += struct.pack("<BBBBHHII", n, n, 16, 0, 1, 4, len(data), offset)
    offset += len(data)
out += b"".join(images)
with open(sys.argv[1] if len(sys.argv) > 1 else "Setup.ico", "wb") as f:
    f.write(out)
