#!/usr/bin/env python3
"""Writes a 16-bit NE file whose resource table holds N icon groups.

    make_ne.py N OUT        (N up to 65,535, the most one type record counts)

Every group record points at the same small group directory, which names
the one RT_ICON image (id 1); group i has id ((i - 1) % 32767) + 1, since NE
numeric ids have 15 bits. Only the resource table grows with N, which is
what the benchmark measures: how listing and extracting scale with the
records of one type.
"""
import struct
import sys

RT_ICON, RT_GROUP_ICON = 3, 14
INTEGER = 0x8000
ALIGN_SHIFT = 4
NE_OFFSET = 0x40
NE_HEADER_SIZE = 0x40


def dib_16x16x4():
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 4, 0, 0, 0, 0, 0, 0)
    body = bytes((i * 7) & 0xFF for i in range(64 + 8 * 16 + 4 * 16))
    return header + body


def build(n):
    image = dib_16x16x4()
    group = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHIH", 16, 16, 16, 0, 1, 4,
                                                        len(image), 1)
    table_size = 2 + (8 + 12) + (8 + 12 * n) + 2
    data_start = NE_OFFSET + NE_HEADER_SIZE + table_size
    data_start = (data_start + (1 << ALIGN_SHIFT) - 1) >> ALIGN_SHIFT << ALIGN_SHIFT
    image_at = data_start
    group_at = image_at + ((len(image) + 15) & ~15)

    def units(x):
        return (x + (1 << ALIGN_SHIFT) - 1) >> ALIGN_SHIFT

    table = struct.pack("<H", ALIGN_SHIFT)
    table += struct.pack("<HHI", INTEGER | RT_ICON, 1, 0)
    table += struct.pack("<HHHHHH", image_at >> ALIGN_SHIFT, units(len(image)), 0x30,
                         INTEGER | 1, 0, 0)
    table += struct.pack("<HHI", INTEGER | RT_GROUP_ICON, n, 0)
    for i in range(n):
        table += struct.pack("<HHHHHH", group_at >> ALIGN_SHIFT, units(len(group)), 0x30,
                             INTEGER | ((i % 0x7FFF) + 1), 0, 0)
    table += struct.pack("<H", 0)

    mz = bytearray(NE_OFFSET)
    mz[0:2] = b"MZ"
    struct.pack_into("<I", mz, 0x3C, NE_OFFSET)
    ne = bytearray(NE_HEADER_SIZE)
    ne[0:2] = b"NE"
    struct.pack_into("<H", ne, 0x24, NE_HEADER_SIZE)  # resource table, from the NE header
    struct.pack_into("<H", ne, 0x26, NE_HEADER_SIZE + 2)  # resident names: anything else
    out = bytearray(mz + ne + table)
    out += bytes(image_at - len(out)) + image
    out += bytes(group_at - len(out)) + group
    return bytes(out)


def main():
    if len(sys.argv) != 3 or not 1 <= int(sys.argv[1]) <= 65535:
        sys.exit(__doc__)
    with open(sys.argv[2], "wb") as f:
        f.write(build(int(sys.argv[1])))


if __name__ == "__main__":
    main()
