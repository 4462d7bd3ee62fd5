#!/usr/bin/env python3
"""Writes the small icon files the test modules are built from.

Run once by hand; its outputs are committed beside it. Every image has a
non-zero biSizeImage so tests can see the writer clear it, and its pixels
are a pattern so that a misplaced byte shows.
"""
import struct
import zlib


def dib(width, height, bits, palette_colors):
    stride = ((bits * width + 31) >> 3) & ~3
    mask_stride = ((width + 31) >> 3) & ~3
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, bits, 0,
                         0x11223344, 0, 0, 0, 0)
    palette = bytes((i * 17 + k) & 0xFF for i in range(palette_colors) for k in range(4))
    rows = bytes((i * 7 + bits) & 0xFF for i in range(stride * height))
    mask = bytes((i * 3) & 0xFF for i in range(mask_stride * height))
    return header + palette + rows + mask


def png(width, height):
    raw = b''.join(b'\x00' + bytes((x + y) & 0xFF for x in range(width * 4)) for y in range(height))

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    ihdr = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', zlib.compress(raw, 9)) +
            chunk(b'IEND', b''))


def ico(images, kind=1):
    # kind 2 is a cursor file: its entries hold the hot spot where those of
    # an icon hold planes and bit depth.
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for w, h, colors, planes, bits, data in images:
        out += struct.pack('<BBBBHHII', w & 0xFF, h & 0xFF, colors, 0, planes, bits, len(data), offset)
        offset += len(data)
    return out + b''.join(d[-1] for d in images)


def write(name, images, kind=1):
    with open(name, 'wb') as f:
        f.write(ico(images, kind))


write('two_images.ico', [(16, 16, 16, 1, 4, dib(16, 16, 4, 16)), (32, 32, 0, 1, 32, dib(32, 32, 32, 0))])
write('one_bit.ico', [(32, 32, 2, 1, 1, dib(32, 32, 1, 2))])
write('with_png.ico', [(16, 16, 0, 1, 8, dib(16, 16, 8, 256)), (256, 256, 0, 1, 32, png(256, 256))])
write('arrow.cur', [(32, 32, 0, 3, 5, dib(32, 32, 32, 0))], kind=2)
