#!/usr/bin/env python3
"""Draws the updater's program icon, VX94C6FWUpdater.ico: a flash chip on a
blue tile with a green arrow writing into it, at 16, 32, 48 and 256 pixels.
The three small sizes are 32-bit bitmaps, the large one a PNG, as Windows
expects. Run it from this folder to remake the icon."""

import struct
import zlib

SIZES = (16, 32, 48, 256)
SUPERSAMPLE = 4


def rounded_box(x, y, left, top, right, bottom, radius):
    """True when (x, y) lies inside the box with rounded corners."""
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def colour_at(x, y):
    """RGBA of the picture at (x, y) in the unit square, None outside it."""
    # The arrow: a shaft and a head pointing down onto the chip.
    if 0.43 <= x <= 0.57 and 0.08 <= y <= 0.34:
        return (60, 200, 90, 255)
    if 0.34 <= y <= 0.50 and abs(x - 0.5) <= (0.50 - y) * 1.1:
        return (60, 200, 90, 255)
    # The chip: a dark body with three pins on each side.
    if rounded_box(x, y, 0.28, 0.52, 0.72, 0.90, 0.04):
        if 0.36 <= x <= 0.44 and 0.58 <= y <= 0.66:
            return (200, 200, 210, 255)  # the pin-1 mark
        return (40, 44, 52, 255)
    for pin in range(3):
        top = 0.56 + pin * 0.12
        if top <= y <= top + 0.06 and (0.20 <= x < 0.28 or 0.72 < x <= 0.80):
            return (205, 210, 220, 255)
    # The tile behind it, lighter towards the top.
    if rounded_box(x, y, 0.02, 0.02, 0.98, 0.98, 0.18):
        shade = int(40 * (1 - y))
        return (30 + shade, 90 + shade, 190 + shade, 255)
    return None


def render(size):
    """Rows of RGBA pixels, top row first, averaged over a supersampling grid."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            total = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    if c is not None:
                        for i in range(3):
                            total[i] += c[i] * c[3]
                        total[3] += c[3]
            alpha = total[3] / (n * n)
            if total[3]:
                row.append(tuple(int(total[i] / total[3]) for i in range(3)) + (int(alpha),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bitmap_image(rows):
    """A 32-bit BGRA DIB with its AND mask, bottom row first."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row_bytes)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def png_image(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    size = len(rows)
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    images = [png_image(render(s)) if s >= 256 else bitmap_image(render(s)) for s in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open("VX94C6FWUpdater.ico", "wb") as out:
        out.write(directory + b"".join(images))


if __name__ == "__main__":
    main()
