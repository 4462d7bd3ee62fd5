#!/usr/bin/env python3
"""The Python module's benchmarks (run by bench/python_module.sh).

  python_module.py groups FILE TOOL    one run: import TOOL, every icon group of
                                       FILE to .ico bytes in memory; prints the
                                       groups, their bytes and the seconds (wall
                                       and CPU) from before the import to the
                                       last group
  python_module.py folders OUT DIR...  one run: every file of the folders, every
                                       icon group written as OUT/<n>-<i>.ico
"""
import os
import sys
import time


def with_vantorico(path):
    import vantorico
    with vantorico.open(path) as source:
        return [g.ico_bytes() for g in source.groups("icon")]


def with_icoextract(path):
    import icoextract
    extractor = icoextract.IconExtractor(path)
    return [extractor.get_icon(num=i).getvalue()
            for i in range(len(extractor.list_group_icons()))]


def with_pefile(path):
    """What a pefile user writes: the group directories and their RT_ICON
    images straight from the resource tree (first language of each)."""
    import struct
    import pefile
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    types = {e.id: e for e in pe.DIRECTORY_ENTRY_RESOURCE.entries}

    def data_of(entry):
        leaf = entry.directory.entries[0].data.struct
        return pe.get_data(leaf.OffsetToData, leaf.Size)

    images = {e.id: e for e in types[pefile.RESOURCE_TYPE["RT_ICON"]].directory.entries}
    out = []
    for group in types[pefile.RESOURCE_TYPE["RT_GROUP_ICON"]].directory.entries:
        directory = data_of(group)
        count = struct.unpack_from("<H", directory, 4)[0]
        entries = [directory[6 + 14 * i:20 + 14 * i] for i in range(count)]
        blobs = [data_of(images[struct.unpack_from("<H", e, 12)[0]]) for e in entries]
        ico = bytearray(struct.pack("<HHH", 0, 1, count))
        offset = 6 + 16 * count
        for e, b in zip(entries, blobs):
            ico += e[:12] + struct.pack("<I", offset)
            offset += len(b)
        for b in blobs:
            ico += b
        out.append(bytes(ico))
    return out


TOOLS = {"vantorico": with_vantorico, "icoextract": with_icoextract, "pefile": with_pefile}


def main():
    if sys.argv[1] == "groups":
        start, cpu = time.perf_counter(), time.process_time()
        icos = TOOLS[sys.argv[3]](sys.argv[2])
        elapsed, cpu = time.perf_counter() - start, time.process_time() - cpu
        print(len(icos), sum(len(i) for i in icos), "%.4f" % elapsed, "%.4f" % cpu)
        return 0
    import vantorico
    out, count = sys.argv[2], 0
    for n, folder in enumerate(sys.argv[3:]):
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            try:
                source = vantorico.open(path)
            except vantorico.VantoricoError:
                continue
            with source:
                for group in source.groups("icon"):
                    try:
                        data = group.ico_bytes()
                    except vantorico.VantoricoError:
                        continue
                    with open(os.path.join(out, "%d-%s-%d.ico" % (n, name, group.index)), "wb") as f:
                        f.write(data)
                    count += 1
    print(count)
    return 0


if __name__ == "__main__":
    sys.exit(main())
