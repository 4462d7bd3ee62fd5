#!/usr/bin/env python3
"""Writes a PE32 file whose resources hold N icon groups, one small image each.

    make_pe.py N OUT [--text-names] [--overlay BYTES] [--code BYTES] [--png SIDE] [--dib32 SIDE]

Group i names RT_ICON id i; with --text-names every group is named by a
distinct text ("GROUP00001", ...) instead of by number. --overlay appends
BYTES of data after the image, as installers carry their payload, to make a
large program of few resources; --code puts a code section of BYTES before
the resource section, as a large program has it. --png gives every group its
own image, a SIDE x SIDE 1-bit PNG of zeros (a few KB that decode to SIDE^2
pixels: the hostile decoding case); --dib32 gives every group its own SIDE x SIDE
32-bit DIB instead (an opaque gradient, 4 bytes a pixel as stored). The files are what the benchmarks list and
extract; nothing else about them is meaningful.
"""
import struct
import sys
import zlib

SECTION_RVA = 0x1000
SECTION_OFFSET = 0x200
RT_ICON, RT_GROUP_ICON = 3, 14


def dib_16x16x4():
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 4, 0, 0, 0, 0, 0, 0)
    body = bytes((i * 7) & 0xFF for i in range(64 + 8 * 16 + 4 * 16))
    return header + body


def rsrc_rva_of(code):
    return SECTION_RVA + ((((code + 0x1FF) & ~0x1FF) + 0xFFF) & ~0xFFF)


def png_1bit(side):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    rows = (b"\0" + bytes((side + 7) // 8)) * side
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 1, 0, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def dib_32bit(side):
    header = struct.pack("<IiiHHIIiiII", 40, side, 2 * side, 1, 32, 0, 0, 0, 0, 0, 0)
    row = b"".join(bytes((x * 255 // side, 0x80, 0x40, 0xFF)) for x in range(side))
    mask = bytes(((side + 31) // 32) * 4 * side)
    return header + row * side + mask


def build(n, text_names, rva=SECTION_RVA, png_side=0, dib_side=0):
    image = png_1bit(png_side) if png_side else dib_32bit(dib_side) if dib_side else dib_16x16x4()
    out = bytearray()

    def place(data, align=4):
        while len(out) % align:
            out.append(0)
        at = len(out)
        out.extend(data)
        return at

    def directory(named, ids):
        return place(struct.pack("<IIHHHH", 0, 0, 0, 0, named, ids) + bytes(8 * (named + ids)))

    def entry(dir_at, i, name, target):
        struct.pack_into("<II", out, dir_at + 16 + 8 * i, name, target)

    high = 0x80000000
    root = directory(0, 2)
    icons = directory(0, n)
    groups = directory(n if text_names else 0, 0 if text_names else n)
    entry(root, 0, RT_ICON, high | icons)
    entry(root, 1, RT_GROUP_ICON, high | groups)
    image_at = place(image)
    for i in range(n):
        if (png_side or dib_side) and i:
            image_at = place(image)
        leaf = place(struct.pack("<IIII", rva + image_at, len(image), 0, 0))
        lang = directory(0, 1)
        entry(lang, 0, 0x409, leaf)
        entry(icons, i, i + 1, high | lang)
    for i in range(n):
        bits = 32 if dib_side else 4
        group = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHIH", 16, 16, 16, 0, 1, bits, len(image), i + 1)
        group_at = place(group)
        leaf = place(struct.pack("<IIII", rva + group_at, len(group), 0, 0))
        lang = directory(0, 1)
        entry(lang, 0, 0x409, leaf)
        name = i + 1
        if text_names:
            text = "GROUP%05d" % (i + 1)
            name = high | place(struct.pack("<H", len(text)) + text.encode("utf-16-le"), 2)
        entry(groups, i, name, high | lang)
    return bytes(out)


def pe(rsrc, code=0):
    code = (code + 0x1FF) & ~0x1FF
    sections = 2 if code else 1
    rsrc_rva = rsrc_rva_of(code)
    rsrc_offset = SECTION_OFFSET + code
    f = bytearray(SECTION_OFFSET)
    struct.pack_into("<H", f, 0, 0x5A4D)
    struct.pack_into("<I", f, 0x3C, 0x40)
    struct.pack_into("<I", f, 0x40, 0x00004550)
    coff, opt = 0x44, 0x44 + 20
    struct.pack_into("<HHIIIHH", f, coff, 0x14C, sections, 0, 0, 0, 224, 0x2102)
    struct.pack_into("<H", f, opt, 0x10B)
    struct.pack_into("<I", f, opt + 92, 16)
    struct.pack_into("<II", f, opt + 96 + 2 * 8, rsrc_rva, len(rsrc))
    section = opt + 224
    if code:
        f[section:section + 5] = b".text"
        struct.pack_into("<IIII", f, section + 8, code, SECTION_RVA, code, SECTION_OFFSET)
        section += 40
    f[section:section + 5] = b".rsrc"
    struct.pack_into("<IIII", f, section + 8, len(rsrc), rsrc_rva, len(rsrc), rsrc_offset)
    return bytes(f) + bytes(code) + rsrc


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    n = int(sys.argv[1])
    options = sys.argv[3:]
    overlay = int(options[options.index("--overlay") + 1]) if "--overlay" in options else 0
    with open(sys.argv[2], "wb") as out:
        code = int(options[options.index("--code") + 1]) if "--code" in options else 0
        side = int(options[options.index("--png") + 1]) if "--png" in options else 0
        dib = int(options[options.index("--dib32") + 1]) if "--dib32" in options else 0
        out.write(pe(build(n, "--text-names" in options, rsrc_rva_of(code), side, dib), code))
        chunk = bytes(range(256)) * 4096
        while overlay > 0:
            out.write(chunk[:overlay])
            overlay -= len(chunk)


if __name__ == "__main__":
    main()
