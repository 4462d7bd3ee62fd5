"""Compares two JSON-lines listings (examples/dask_scan.py's and `vantorico
list -r --jsonl`'s): the same files, each with the same document.

    compare_listings.py MINE.jsonl CLI.jsonl MIN_GROUPS
"""
import json
import sys


def load(path):
    docs = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            doc = json.loads(line)
            docs[doc["file"]] = doc
    return docs


mine, cli = load(sys.argv[1]), load(sys.argv[2])
problems = ["only in %s: %s" % (which, f) for which, f in
            [("the scan", f) for f in set(mine) - set(cli)] + [("the CLI's", f) for f in set(cli) - set(mine)]]
groups = 0
for f in sorted(set(mine) & set(cli)):
    if mine[f] != cli[f]:
        keys = [k for k in set(mine[f]) | set(cli[f]) if mine[f].get(k) != cli[f].get(k)]
        problems.append("%s differs in %s" % (f, ", ".join(sorted(keys))))
    groups += len(cli[f]["groups"])
if groups < int(sys.argv[3]):
    problems.append("only %d groups" % groups)
for p in problems[:20]:
    print(p)
print("%d files, %d groups compared, %d differ" % (len(cli), groups, len(problems)))
sys.exit(1 if problems else 0)
