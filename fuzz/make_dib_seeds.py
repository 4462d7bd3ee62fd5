#!/usr/bin/env python3
"""Writes seeds for fuzz_dib_decoder into DIR: every DIB image of
tests/data/*.ico, and small hand-made DIBs of each depth the decoder reads
(1, 4, 8 with palettes; 16 5-5-5 and BI_BITFIELDS 5-6-5; 24; 32 with alpha,
32 with zero alpha; one top-down)."""
import glob
import os
import struct
import sys


def dib(width, height, bits, colors=0, compression=0, masks=b"", top_down=False, alpha=0xFF):
    palette_entries = colors or (1 << bits if bits <= 8 else 0)
    stored_height = -2 * height if top_down else 2 * height
    header = struct.pack("<IiiHHIIiiII", 40, width, stored_height, 1, bits, compression, 0, 0, 0,
                         colors, 0)
    palette = b"".join(struct.pack("<BBBB", (i * 37) & 255, (i * 91) & 255, (i * 13) & 255, 0)
                       for i in range(palette_entries))
    stride = ((bits * width + 31) // 32) * 4
    rows = bytearray()
    for y in range(height):
        row = bytearray((x * 7 + y * 3) & 255 for x in range(stride))
        if bits == 32:
            for x in range(width):
                row[4 * x + 3] = alpha if (x + y) % 3 else 0
        rows += row
    mask_stride = ((width + 31) // 32) * 4
    mask = b"".join(bytes([0x0F if y % 2 else 0xF0] * mask_stride) for y in range(height))
    return header + masks + palette + bytes(rows) + mask


def main():
    out = sys.argv[1]
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    os.makedirs(out, exist_ok=True)
    seeds = {
        "1bit": dib(5, 3, 1), "4bit": dib(9, 4, 4, colors=6), "8bit": dib(3, 3, 8, colors=17),
        "16bit555": dib(4, 2, 16),
        "16bit565": dib(3, 2, 16, compression=3, masks=struct.pack("<III", 0xF800, 0x07E0, 0x1F)),
        "24bit": dib(5, 5, 24), "32bit": dib(4, 4, 32), "32bit_zero_alpha": dib(4, 3, 32, alpha=0),
        "32bit_top_down": dib(3, 4, 32, top_down=True),
    }
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    for path in glob.glob(os.path.join(root, "tests", "data", "*.ico")):
        data = open(path, "rb").read()
        count = struct.unpack_from("<H", data, 4)[0]
        for i in range(count):
            size, offset = struct.unpack_from("<II", data, 6 + 16 * i + 8)
            image = data[offset:offset + size]
            if image[:4] == b"\x89PNG":
                continue
            with open(os.path.join(out, "%s-%d" % (os.path.basename(path), i)), "wb") as f:
                f.write(image)


if __name__ == "__main__":
    main()
