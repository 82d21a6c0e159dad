#!/usr/bin/env python3
"""Draws the programs' icons: one look per edition, seven sizes each.

Each icon is a rounded tile in the edition's colour with a white ledger sheet
on it (ruled lines) and a yen-like mark of three strokes; the editions differ
by colour and by the corner badge (plus: a "+" badge, std: none, lotus: a
leaf-shaped badge). Writes EDITION/SIZExSIZE.png below this folder, RGBA PNG,
and EDITION/program.ico, the Windows program's icon: seven images in this
order, 48, 32 and 16 pixels with 256 colours, then 256 (PNG-compressed), 48,
32 and 16 pixels with 32-bit colour. Nothing but the standard library.
"""
import os
import struct
import zlib

SIZES = [16, 24, 32, 48, 64, 128, 256]
EDITIONS = {
    "plus": (0x1F, 0x5F, 0xBF),
    "std": (0x2E, 0x8B, 0x57),
    "lotus": (0xB0, 0x3A, 0x7A),
}


def pixels_of(edition, size):
    return draw(edition, size, raw=True)


def png(width, height, pixels):
    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in pixels)
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def draw(edition, size, raw=False):
    colour = EDITIONS[edition]
    s = size / 16.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    radius = 3 * s
    for y in range(size):
        for x in range(size):
            cx = min(max(x + 0.5, radius), size - radius)
            cy = min(max(y + 0.5, radius), size - radius)
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius ** 2:
                px[y][x] = colour + (255,)
    white = (255, 255, 255, 255)
    ink = tuple(max(0, c - 60) for c in colour) + (255,)
    # The sheet.
    x0, x1, y0, y1 = int(3 * s), int(13 * s), int(2 * s), int(14 * s)
    for y in range(y0, y1):
        for x in range(x0, x1):
            px[y][x] = white
    # Ruled lines.
    for k in range(1, 5):
        y = int(y0 + k * (y1 - y0) / 5)
        for x in range(x0 + max(1, int(s)), x1 - max(1, int(s))):
            px[y][x] = (200, 200, 200, 255)
    # The mark: a V and two bars.
    mid = (x0 + x1) / 2
    top, bottom = y0 + 2 * s, y0 + 7 * s
    thick = max(1, int(s))
    for y in range(int(top), int(bottom)):
        off = (bottom - y) * 0.55
        for t in range(thick):
            for x in (int(mid - off) + t, int(mid + off) - t):
                if x0 <= x < x1:
                    px[y][x] = ink
    for y in range(int(bottom), int(y1 - 2 * s)):
        for t in range(thick):
            px[y][int(mid) - thick // 2 + t] = ink
    for bar in (bottom + 0.5 * s, bottom + 2.5 * s):
        for t in range(thick):
            y = int(bar) + t
            if y < y1:
                for x in range(int(mid - 3 * s), int(mid + 3 * s)):
                    px[y][x] = ink
    # The edition's badge, lower right.
    if edition != "std" and size >= 16:
        bx, by, br = size - 4 * s, size - 4 * s, 3.5 * s
        for y in range(size):
            for x in range(size):
                dx, dy = x + 0.5 - bx, y + 0.5 - by
                if edition == "plus":
                    inside = dx * dx + dy * dy <= br * br
                    cross = (abs(dx) <= max(0.5, 0.6 * s) and abs(dy) <= 2 * s) or (
                        abs(dy) <= max(0.5, 0.6 * s) and abs(dx) <= 2 * s)
                    if inside:
                        px[y][x] = white if cross else (0xF0, 0x8C, 0x00, 255)
                else:  # a leaf: two overlapping circles
                    a = (dx - s) ** 2 + (dy + s) ** 2 <= (2.6 * s) ** 2
                    b = (dx + s) ** 2 + (dy - s) ** 2 <= (2.6 * s) ** 2
                    if a and b:
                        px[y][x] = (0x3C, 0xB3, 0x71, 255)
    return px if raw else png(size, size, px)


def and_mask(size, px):
    """The 1-bit mask of a BMP icon image: 1 where the pixel is transparent."""
    stride = ((size + 31) // 32) * 4
    out = b""
    for row in reversed(px):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bytes(bits)
    return out


def bmp_header(size, bits, colours):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, colours, 0)


def bmp_32(size, px):
    body = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(px) for p in row)
    return bmp_header(size, 32, 0) + body + and_mask(size, px)


def bmp_8(size, px):
    # The pictures have few colours: each opaque colour gets a palette entry
    # (the rest, if ever more than 255, the nearest one already there).
    palette = [(0, 0, 0)]
    index = {}
    for row in px:
        for p in row:
            if p[3] >= 128 and p[:3] not in index and len(palette) < 256:
                index[p[:3]] = len(palette)
                palette.append(p[:3])

    def nearest(rgb):
        if rgb in index:
            return index[rgb]
        return min(range(1, len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], rgb)))

    stride = ((size + 3) // 4) * 4
    body = b""
    for row in reversed(px):
        line = bytes(nearest(p[:3]) if p[3] >= 128 else 0 for p in row)
        body += line + bytes(stride - len(line))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette) + bytes(4 * (256 - len(palette)))
    return bmp_header(size, 8, 256) + table + body + and_mask(size, px)


def ico(edition):
    images = []  # (size, colours, bits, data)
    for size in (48, 32, 16):
        images.append((size, 0, 8, bmp_8(size, pixels_of(edition, size))))
    for size in (256, 48, 32, 16):
        if size == 256:
            data = png(size, size, pixels_of(edition, size))
        else:
            data = bmp_32(size, pixels_of(edition, size))
        images.append((size, 0, 32, data))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colours, bits, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(d for _, _, _, d in images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for edition in EDITIONS:
        os.makedirs(os.path.join(here, edition), exist_ok=True)
        for size in SIZES:
            with open(os.path.join(here, edition, "%dx%d.png" % (size, size)), "wb") as f:
                f.write(draw(edition, size))
        with open(os.path.join(here, edition, "program.ico"), "wb") as f:
            f.write(ico(edition))


if __name__ == "__main__":
    main()
