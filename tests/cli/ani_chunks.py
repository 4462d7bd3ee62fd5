"""Prints an animated file's chunks as `vantorico list --json` gives them:
steps, display rate, rates, sequence, and each frame's image count. The
chunks are found by their tags (not by walking the sizes, as the engine
does), the frames as the "icon" chunks that follow "fram" back to back."""
import json
import struct
import sys

data = open(sys.argv[1], "rb").read()


def chunk(tag):
    at = data.find(tag, 12)
    if at < 0:
        return None
    size = struct.unpack_from("<I", data, at + 4)[0]
    return data[at + 8:at + 8 + size]


def values(tag):
    body = chunk(tag)
    if body is None:
        return None
    return list(struct.unpack_from("<%dI" % (len(body) // 4), body))


anih = chunk(b"anih")
steps, rate = struct.unpack_from("<I", anih, 8)[0], struct.unpack_from("<I", anih, 28)[0]
frames = []
at = data.find(b"fram") + 4
while data[at:at + 4] == b"icon":
    size = struct.unpack_from("<I", data, at + 4)[0]
    if at + 8 + size > len(data):
        break
    frame = data[at + 8:at + 8 + size]
    frames.append(struct.unpack_from("<H", frame, 4)[0])
    at += 8 + size + (size & 1)
print(json.dumps({"steps": steps, "display_rate": rate, "rates": values(b"rate"),
                  "sequence": values(b"seq "), "frames": frames}))
