#!/usr/bin/env python3
"""Scans a folder tree for icons on a Dask cluster, one JSON line per file.

    examples/dask_scan.py FOLDER OUT.jsonl [--scheduler ADDRESS] [--type icon|cursor|all]

Each line is the document `vantorico list -r --jsonl` prints for that file
(schema, command, file, kind, status, error, groups), made by the vantorico
module on the cluster's workers. Without --scheduler, a LocalCluster of two
worker processes on this machine runs it; with one, every machine that runs
`dask worker ADDRESS` takes part (each needs python3-vantorico and the files
under the same path). See README.md, "Scanning on many machines".
"""

import argparse
import json
import os
import sys

SCHEMA = 2  # the CLI's listing schema
WORDS = {"icon": ("icon",), "cursor": ("cursor",),
         "all": ("icon", "cursor", "anicursor", "aniicon")}
# A file that is itself an icon, a cursor or an animation is one group of its kind.
FILE_WORDS = {"icon file": ("icon",), "cursor file": ("cursor",), "animated file": ("anicursor",)}
# The CLI's exit statuses that a listing document carries.
OK, NOTHING, BAD_INPUT = 0, 1, 3


def quote(path):
    return "'%s'" % path


def group_json(group, kind):
    """A group as the CLI's FormatGroupJson writes it."""
    doc = {"type": group.type, "index": group.index}
    if isinstance(group.name, str):
        doc["name"] = group.name
        if group.name_cut:
            doc["name_cut"] = True
    else:
        doc["name"] = group.name if kind == "module" else None
    doc["language"] = "0x%04x" % group.language if group.language is not None else None
    doc["languages"] = ["0x%04x" % language for language in group.languages]
    doc["readable"] = group.readable
    if group.type in ("anicursor", "aniicon"):
        doc["bytes"] = group.byte_count
    images = []
    for image in group.images:
        entry = {"width": image.width, "height": image.height, "bitDepth": image.bit_depth,
                 "format": image.format, "bytes": image.byte_count}
        if image.hotspot is not None:
            entry["hotspot"] = {"x": image.hotspot[0], "y": image.hotspot[1]}
        images.append(entry)
    doc["images"] = images
    return doc


def scan_file(path, types="icon"):
    """The listing document of one file (runs on a worker)."""
    import vantorico  # imported where the task runs
    doc = {"schema": SCHEMA, "command": "list", "file": path}
    try:
        source = vantorico.open(path)
    except vantorico.VantoricoError as error:
        doc.update(kind=None, status=BAD_INPUT, groups=[])
        if error.status == vantorico.ERR_UNSUPPORTED:
            doc["error"] = "%s is not a program file or an icon file" % quote(path)
        else:
            doc["error"] = "%s: %s" % (quote(path), error.reason)
        return doc
    with source:
        doc["kind"] = source.kind
        words = WORDS[types] if source.kind == "module" else FILE_WORDS.get(source.kind, ("icon",))
        groups = [g for word in words for g in source.groups(word)]
        unreadable = sum(1 for g in groups if not g.readable)
        doc["status"] = OK
        if not groups:
            doc["status"] = NOTHING
            doc["error"] = "%s has no %s groups" % (
                quote(path), "icon or cursor" if types == "all" else types)
        elif source.kind != "module" and unreadable:
            doc["status"] = BAD_INPUT
            doc["error"] = "%s is a damaged %s" % (quote(path), source.kind)
        elif unreadable:
            doc["status"] = BAD_INPUT
            doc["error"] = "%s: %d of %d group%s cannot be read" % (
                quote(path), unreadable, len(groups), "" if len(groups) == 1 else "s")
        doc["groups"] = [group_json(g, source.kind) for g in groups]
    return doc


def scan_batch(paths, types):
    return [json.dumps(scan_file(p, types), separators=(",", ":"), ensure_ascii=False)
            for p in paths]


def walk(folder):
    """Every regular file under folder, in name order."""
    for root, dirs, files in os.walk(folder):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(root, name)
            if os.path.isfile(path) and not os.path.islink(path):
                yield path


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("folder")
    parser.add_argument("out")
    parser.add_argument("--scheduler", help="a running Dask scheduler (tcp://host:8786)")
    parser.add_argument("--type", default="icon", choices=sorted(WORDS))
    parser.add_argument("--batch", type=int, default=64, help="files per task")
    args = parser.parse_args(argv)

    from dask.distributed import Client, LocalCluster
    paths = list(walk(args.folder))
    batches = [paths[i:i + args.batch] for i in range(0, len(paths), args.batch)]
    if args.scheduler:
        client = Client(args.scheduler)
        cluster = None
    else:
        cluster = LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                               dashboard_address=None)
        client = Client(cluster)
    try:
        futures = client.map(scan_batch, batches, types=args.type, pure=False)
        with open(args.out + ".part", "w", encoding="utf-8") as out:
            for lines in client.gather(futures):
                for line in lines:
                    out.write(line + "\n")
        os.replace(args.out + ".part", args.out)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    print("%d files in %d tasks -> %s" % (len(paths), len(batches), args.out), file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
