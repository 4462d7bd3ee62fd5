#!/usr/bin/env python3
"""Writes a PE32 file whose resources hold N icon groups, one small image each.

    make_pe.py N OUT [--text-names] [--overlay BYTES]

Group i names RT_ICON id i; with --text-names every group is named by a
distinct text ("GROUP00001", ...) instead of by number. --overlay appends
BYTES of data after the image, as installers carry their payload, to make a
large program of few resources. The files are what the benchmarks list and
extract; nothing else about them is meaningful.
"""
import struct
import sys

SECTION_RVA = 0x1000
SECTION_OFFSET = 0x200
RT_ICON, RT_GROUP_ICON = 3, 14


def dib_16x16x4():
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 4, 0, 0, 0, 0, 0, 0)
    body = bytes((i * 7) & 0xFF for i in range(64 + 8 * 16 + 4 * 16))
    return header + body


def build(n, text_names):
    image = dib_16x16x4()
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
        leaf = place(struct.pack("<IIII", SECTION_RVA + image_at, len(image), 0, 0))
        lang = directory(0, 1)
        entry(lang, 0, 0x409, leaf)
        entry(icons, i, i + 1, high | lang)
    for i in range(n):
        group = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHIH", 16, 16, 16, 0, 1, 4, len(image), i + 1)
        group_at = place(group)
        leaf = place(struct.pack("<IIII", SECTION_RVA + group_at, len(group), 0, 0))
        lang = directory(0, 1)
        entry(lang, 0, 0x409, leaf)
        name = i + 1
        if text_names:
            text = "GROUP%05d" % (i + 1)
            name = high | place(struct.pack("<H", len(text)) + text.encode("utf-16-le"), 2)
        entry(groups, i, name, high | lang)
    return bytes(out)


def pe(rsrc):
    f = bytearray(SECTION_OFFSET)
    struct.pack_into("<H", f, 0, 0x5A4D)
    struct.pack_into("<I", f, 0x3C, 0x40)
    struct.pack_into("<I", f, 0x40, 0x00004550)
    coff, opt = 0x44, 0x44 + 20
    struct.pack_into("<HHIIIHH", f, coff, 0x14C, 1, 0, 0, 0, 224, 0x2102)
    struct.pack_into("<H", f, opt, 0x10B)
    struct.pack_into("<I", f, opt + 92, 16)
    struct.pack_into("<II", f, opt + 96 + 2 * 8, SECTION_RVA, len(rsrc))
    section = opt + 224
    f[section:section + 5] = b".rsrc"
    struct.pack_into("<IIII", f, section + 8, len(rsrc), SECTION_RVA, len(rsrc), SECTION_OFFSET)
    return bytes(f) + rsrc


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    n = int(sys.argv[1])
    options = sys.argv[3:]
    overlay = int(options[options.index("--overlay") + 1]) if "--overlay" in options else 0
    with open(sys.argv[2], "wb") as out:
        out.write(pe(build(n, "--text-names" in options)))
        chunk = bytes(range(256)) * 4096
        while overlay > 0:
            out.write(chunk[:overlay])
            overlay -= len(chunk)


if __name__ == "__main__":
    main()
