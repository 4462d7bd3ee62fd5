#!/usr/bin/env python3
"""Turns the readable window description (JSON) into the stored layout block.

Usage: build_layout.py DESCRIPTION.json OUT.cpp OUT_HANDLERS.h

The block is little-endian throughout. Texts are GBK: NUL-terminated where the
stored form has a text, 32-bit length + bytes where it has a counted text; a
byte block is a 32-bit length + bytes.
"""
import json
import os
import struct
import sys

KINDS = {
    "window": 0x00010001, "menu": 0x00010003, "EditBox": 0x00010005, "PicBox": 0x00010006,
    "Label": 0x0001000A, "Button": 0x0001000B, "CommonDlg": 0x0001001F, "DropTarget": 0x00020001,
}
VERSIONS = {"window": 6, "Button": 1, "EditBox": 2, "Label": 2, "PicBox": 2, "CommonDlg": 1,
            "DropTarget": 1}
UNIT_FLAGS = {"visible": 1, "disabled": 2, "tabstop": 4}
MENU_FLAGS = {"hidden": 1, "disabled": 2, "checked": 4}
DEFAULT_COLOR = 0xFF000000
LOGFONT_SIZE = 60
RESERVED = bytes(20)


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def s32(v):
    return struct.pack("<i", v)


def gbk(text):
    return text.encode("gbk")


def text(t):
    return gbk(t) + b"\0"


def counted(t):
    b = gbk(t)
    return u32(len(b)) + b


def block(b):
    return u32(len(b)) + b


def num(v):
    if isinstance(v, str):
        return DEFAULT_COLOR if v == "default" else int(v, 0)
    return int(v)


def logfont(f):
    if not f:
        return b""
    face = gbk(f["face"])
    if len(face) >= 32:
        raise SystemExit("font face too long: %s" % f["face"])
    out = struct.pack("<iiiii", f.get("height", 0), f.get("width", 0), f.get("escapement", 0),
                      f.get("orientation", 0), f.get("weight", 400))
    out += bytes((f.get("italic", 0), f.get("underline", 0), f.get("strikeOut", 0), f.get("charSet", 1),
                  f.get("outPrecision", 0), f.get("clipPrecision", 0), f.get("quality", 0),
                  f.get("pitchAndFamily", 0)))
    out += face + bytes(32 - len(face))
    assert len(out) == LOGFONT_SIZE
    return out


def specific(kind, s, base_dir):
    g = lambda k, d=0: num(s.get(k, d))
    v = u32(VERSIONS[kind])
    if kind == "window":
        return (v + u32(g("border", 2)) + u32(g("backgroundPictureMode")) + u32(g("backgroundColor", "default"))
                + u32(g("maximizeBox", 1)) + u32(g("minimizeBox", 1)) + u32(g("controlBox", 1))
                + u32(g("startPosition")) + u32(g("closeBox", 1)) + bytes(40) + counted("")
                + block(b"") + block(b"") + block(b"") + counted(s.get("title", "")) + counted(""))
    if kind == "Button":
        return (v + u32(g("buttonKind")) + u32(g("horizontalAlignment", 1)) + u32(g("verticalAlignment", 1))
                + block(b"") + block(logfont(s.get("font"))) + counted(s.get("caption", "")))
    if kind == "EditBox":
        return (v + u32(g("border", 1)) + u32(g("textColor", "default")) + u32(g("backgroundColor", "default"))
                + u32(g("hideSelection", 1)) + u32(g("maxLength")) + u32(g("multiLine")) + u32(g("scrollBars"))
                + u32(g("alignment")) + u32(g("inputMode")) + struct.pack("<H", g("passwordChar"))
                + u32(g("caseConversion")) + u32(g("spin")) + s32(g("spinMin")) + s32(g("spinMax"))
                + u32(g("selectionStart")) + u32(g("selectionLength")) + block(logfont(s.get("font")))
                + counted(s.get("content", "")) + counted("") + counted(""))
    if kind == "Label":
        words = [g("border"), g("textColor", "default"), g("backgroundColor", "default"),
                 g("horizontalAlignment"), g("wordWrap"), g("verticalAlignment", 1)] + [0] * 10
        return (v + b"".join(u32(w) for w in words) + block(logfont(s.get("font"))) + block(b"")
                + counted(s.get("caption", "")) + counted("") + counted(""))
    if kind == "PicBox":
        pic = b""
        if s.get("picture"):
            with open(os.path.join(base_dir, s["picture"]), "rb") as f:
                pic = f.read()
        return (v + u32(g("border")) + u32(g("backgroundColor", "default")) + u32(g("displayMode"))
                + u32(g("animate")) + block(pic) + counted("") + counted(""))
    if kind == "CommonDlg":
        words = [g("dialogType"), g("initialFilter"), g("createPrompt"), g("fileMustExist"),
                 g("overwritePrompt"), g("pathMustExist"), g("keepCurrentDirectory")] + [0] * 8
        texts = [s.get(k, "") for k in ("title", "fileName", "filter", "initialDirectory", "defaultExtension")]
        return v + b"".join(u32(w) for w in words) + b"".join(counted(t) for t in texts + ["", ""])
    if kind == "DropTarget":
        return v + u32(g("acceptText")) + u32(g("acceptHtml")) + u32(g("acceptUrl")) + u32(g("acceptFiles"))
    raise SystemExit("unknown kind %s" % kind)


def unit_record(u, handlers, base_dir):
    kind = u["kind"]
    out = u32(KINDS[kind]) + RESERVED + text(u.get("name", "")) + text("")
    if kind == "menu":
        flags = sum(MENU_FLAGS[f] for f in u.get("menuFlags", []))
        ref = handlers.index(u["handler"]) if u.get("handler") else -1
        return (out + u32(num(u.get("hotkey", 0))) + u32(u["level"]) + u32(flags) + text(u["caption"])
                + s32(ref) + bytes(16))
    left, top, width, height = u["geometry"]
    flags = sum(UNIT_FLAGS[f] for f in u.get("flags", []))
    events = sorted((int(k), handlers.index(h)) for k, h in u.get("events", {}).items())
    out += u32(0) + s32(left) + s32(top) + s32(width) + s32(height) + u32(0)
    out += u32(0) + u32(0)                 # parent unit, child count
    out += block(u32(0))                   # mouse pointer: the standard cursor
    out += text(u.get("tag", ""))
    out += u32(0) + u32(flags) + u32(0) + u32(len(events))
    for index, ref in events:
        out += u32(index) + s32(ref)
    out += RESERVED + specific(kind, u.get("settings", {}), base_dir)
    return out


def window_block(w, handlers, base_dir):
    units = w["units"]
    records = [unit_record(u, handlers, base_dir) for u in units]
    ids = b"".join(u32(int(u["id"], 16)) for u in units)
    offsets, pos = b"", 0
    for r in records:
        offsets += u32(pos)
        pos += 4 + len(r)
    body = ids + offsets + b"".join(u32(len(r)) + r for r in records)
    words = b"".join(u32(int(x, 16)) for x in w["words"])
    return words + counted("") + counted("") + u32(len(units)) + u32(len(body)) + body


def build(desc, base_dir):
    handlers = desc["handlers"]
    windows = desc["windows"]
    out = u32(8 * len(windows))
    out += b"".join(u32(int(w["id"], 16)) for w in windows) + bytes(4 * len(windows))
    out += b"".join(window_block(w, handlers, base_dir) for w in windows)
    return out, handlers


def main():
    src, out_cpp, out_h = sys.argv[1:4]
    with open(src, encoding="utf-8") as f:
        desc = json.load(f)
    data, handlers = build(desc, os.path.dirname(os.path.abspath(src)))
    lines = []
    for i in range(0, len(data), 20):
        lines.append("  " + ",".join("0x%02X" % b for b in data[i:i + 20]) + ",")
    with open(out_cpp, "w") as f:
        f.write("// Generated from %s by build_layout.py; edit the description, not this file.\n"
                % os.path.basename(src))
        f.write('#include "app/stored_layout.h"\n\nnamespace vantorico {\n\n')
        f.write("alignas(4) const unsigned char kStoredLayout[%d] = {\n%s\n};\n" % (len(data), "\n".join(lines)))
        f.write("const size_t kStoredLayoutSize = sizeof kStoredLayout;\n\n}  // namespace vantorico\n")
    with open(out_h, "w") as f:
        f.write("// Generated by build_layout.py: the handler references stored in the layout.\n#pragma once\n\n")
        f.write("namespace vantorico {\n\nenum HandlerRef : int {\n")
        for i, h in enumerate(handlers):
            f.write("  kHandler%s = %d,\n" % (h, i))
        f.write("  kHandlerCount = %d,\n};\n\n}  // namespace vantorico\n" % len(handlers))


if __name__ == "__main__":
    main()
