"""Exits 0 when a PNG holds the pixels Pillow decodes from a cursor file
(its largest image, as RGBA), else prints where they differ and exits 1."""
import sys

from PIL import CurImagePlugin  # noqa: F401  (registers the .cur reader)
from PIL import Image

cur = Image.open(sys.argv[1])
cur.load()
cur = cur.convert("RGBA")
png = Image.open(sys.argv[2]).convert("RGBA")
if cur.size != png.size:
    print("sizes", cur.size, png.size)
    sys.exit(1)
a, b = list(cur.getdata()), list(png.getdata())
diff = [i for i in range(len(a)) if a[i] != b[i]]
if diff:
    print(len(diff), "pixels differ, first at", diff[0], a[diff[0]], b[diff[0]])
    sys.exit(1)
