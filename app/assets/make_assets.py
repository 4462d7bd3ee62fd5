#!/usr/bin/env python3
"""Draws the tool's own pictures and writes them as icon files.

logo.ico     100 x 100, 32 bits: the picture of the main window (41,662 bytes)
tray.ico     128 x 128, 32 bits: the tray icon (67,646 bytes)
program.ico  16, 32, 48 (32-bit DIB) and 256 (PNG): the program's own icon

The motif: a blue rounded tile holding a white picture frame with an arrow
pointing out of it. Run it after changing the drawing and commit the files.
"""
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def lerp(a, b, t):
    return a + (b - a) * t


def coverage(fn, x, y, samples=4):
    """Fraction of the pixel (x, y) inside the shape fn(px, py) -> bool."""
    hit = 0
    for sy in range(samples):
        for sx in range(samples):
            if fn(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                hit += 1
    return hit / (samples * samples)


def draw(size):
    """RGBA rows, top row first."""
    s = float(size)
    r = s * 0.2  # corner radius of the tile

    def tile(px, py):
        m = s * 0.04
        x0, y0, x1, y1 = m, m, s - m, s - m
        cx = min(max(px, x0 + r), x1 - r)
        cy = min(max(py, y0 + r), y1 - r)
        return (px - cx) ** 2 + (py - cy) ** 2 <= r * r and x0 <= px <= x1 and y0 <= py <= y1

    def frame(px, py):
        x0, y0, x1, y1 = s * 0.22, s * 0.26, s * 0.70, s * 0.74
        t = max(1.0, s * 0.06)
        inside_outer = x0 <= px <= x1 and y0 <= py <= y1
        inside_inner = x0 + t <= px <= x1 - t and y0 + t <= py <= y1 - t
        return inside_outer and not inside_inner

    def mountain(px, py):
        # A small hill inside the frame, like a picture.
        base = s * 0.66
        peak_x, peak_y = s * 0.40, s * 0.42
        if py > base or px < s * 0.30 or px > s * 0.62:
            return False
        if px <= peak_x:
            return py >= peak_y + (peak_x - px) * (base - peak_y) / (peak_x - s * 0.30)
        return py >= peak_y + (px - peak_x) * (base - peak_y) / (s * 0.62 - peak_x)

    def arrow(px, py):
        # Shaft from the frame towards the lower right, with a head.
        ax, ay = s * 0.56, s * 0.56
        bx, by = s * 0.82, s * 0.82
        dx, dy = bx - ax, by - ay
        length = (dx * dx + dy * dy) ** 0.5
        ux, uy = dx / length, dy / length
        rx, ry = px - ax, py - ay
        along = rx * ux + ry * uy
        across = abs(-rx * uy + ry * ux)
        head = s * 0.14
        if 0 <= along <= length - head * 0.8 and across <= max(0.8, s * 0.045):
            return True
        if length - head <= along <= length:
            return across <= (length - along) * 0.9
        return False

    rows = []
    top = (64, 150, 235)
    bottom = (20, 70, 170)
    for y in range(size):
        row = []
        t = y / max(1, size - 1)
        base = tuple(int(lerp(top[i], bottom[i], t)) for i in range(3))
        for x in range(size):
            a = coverage(tile, x, y)
            if a == 0:
                row.append((0, 0, 0, 0))
                continue
            col = list(base)
            w = max(coverage(frame, x, y), coverage(mountain, x, y) * 0.85)
            o = coverage(arrow, x, y)
            for i, c in enumerate((255, 255, 255)):
                col[i] = lerp(col[i], c, w)
            for i, c in enumerate((255, 196, 40)):
                col[i] = lerp(col[i], c, o)
            row.append((int(col[0]), int(col[1]), int(col[2]), int(round(255 * a))))
        rows.append(row)
    return rows


def dib_image(rows):
    """A 32-bit icon image: BITMAPINFOHEADER, BGRA rows bottom-up, 1-bit AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return bytes(header + pixels + mask)


def png_image(rows):
    size = len(rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw += bytes(px)
    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def icon_file(images):
    """images: list of (size, bytes, is_png)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data, _ in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data, _ in images:
        out += data
    return out


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else HERE
    files = {
        "logo.ico": icon_file([(100, dib_image(draw(100)), False)]),
        "tray.ico": icon_file([(128, dib_image(draw(128)), False)]),
        "program.ico": icon_file([(16, dib_image(draw(16)), False), (32, dib_image(draw(32)), False),
                                  (48, dib_image(draw(48)), False), (256, png_image(draw(256)), True)]),
    }
    for name, data in files.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
        print(name, len(data))


if __name__ == "__main__":
    main()
