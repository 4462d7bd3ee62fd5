"""Prints RetDec's 64-bit average hash of an icon file's first image, from
Pillow's RGBA decoding (the test's images are opaque, so RGB is the
stored colour): rows from the bottom, box means to 8 x 8 (reduce8x8: the
extra pixels to every period-th box while they last, integer means, rows
first), grey 0.299 R + 0.587 G + 0.114 B rounded, bit 1 below 128, the
first pixel the most significant."""
import sys
import warnings

warnings.simplefilter("ignore")  # the hand-made directories say 0 for their widths
from PIL import IcoImagePlugin  # noqa: F401
from PIL import Image

image = Image.open(sys.argv[1]).convert("RGBA")
w, h = image.size
rows = [[image.getpixel((x, y))[:3] for x in range(w)] for y in reversed(range(h))]


def boxes(length):
    box, extra = divmod(length, 8)
    period = 8 // (8 - extra)
    out, offset, left = [], 0, extra
    for i in range(8):
        n = box + (1 if i % period == 0 and left > 0 else 0)
        if i % period == 0 and left > 0:
            left -= 1
        out.append((offset, min(n, length - offset)))
        offset += n
    return out


def mean(pixels):
    return tuple(sum(p[c] for p in pixels) // len(pixels) for c in range(3))


narrow = [[mean(row[s:s + n]) for s, n in boxes(w)] for row in rows]
value = 0
for y, (s, n) in enumerate(boxes(h)):
    for x in range(8):
        r, g, b = mean([narrow[i][x] for i in range(s, s + n)])
        grey = int(r * 0.299 + g * 0.587 + b * 0.114 + 0.5) & 0xFF
        if grey < 128:
            value |= 1 << (63 - (y * 8 + x))
print("%016x" % value)
