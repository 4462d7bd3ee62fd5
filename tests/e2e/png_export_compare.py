#!/usr/bin/python3
"""The Windows console program's PNG export (WIC, under Wine) against the
Linux program's (libpng): the same sources and options, run once by each;
then, file by file, the same names and results, a stored PNG image written
byte for byte by both, and every other picture the same RGBA pixels as
Pillow decodes them.

Sources: Wine's shell32.dll and the project's test icon files (required:
skipped outside CI, failed in CI when missing), and the shared corpus's
icon and program files when it is there.

    png_export_compare.py --exe vantorico.exe --native vantorico \\
        --emulator scripts/wine-run.sh --source-dir DIR --work DIR
"""
import argparse
import glob
import json
import os
import shutil
import subprocess
import sys

from PIL import Image

SKIP = 77  # ctest's SKIP_RETURN_CODE for this test
# --size 20 scales a larger DIB down; --size 128 decodes the 256-pixel PNG
# images and scales them; --best and --all-sizes pass stored PNGs through.
MODES = (["--best"], ["--size", "20"], ["--size", "128"], ["--all-sizes"])


def missing(what):
    if os.environ.get("CI") == "true":
        print(f"missing input (setup or the build provides it in CI): {what}")
        sys.exit(1)
    print(f"Skipped\n{what}")
    sys.exit(SKIP)


def wine_file(source_dir, name):
    """A file of Wine's PE folders, found as scripts/machine.sh finds it."""
    script = f'. "{source_dir}/scripts/machine.sh"; wine_file "$1"'
    found = subprocess.run(["bash", "-c", script, "-", name], capture_output=True, text=True)
    return found.stdout.strip() if found.returncode == 0 else ""


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(command):
    done = subprocess.run(command, capture_output=True, timeout=600)
    return done.returncode, done.stdout.decode("utf-8", "replace")


def documents(text):
    return [json.loads(line) for line in text.splitlines() if line.startswith("{")]


def outcome(output, folder):
    """An output's group, status and file name under the output folder (in
    the host's form), whichever program wrote it."""
    path = output.get("path", "")
    if path.startswith(folder):
        path = path[len(folder):].replace("\\", "/").lstrip("/")
    return output["index"], output["status"], path


def pixels(path):
    with Image.open(path) as image:
        return image.size, image.convert("RGBA").tobytes()


def main():
    ap = argparse.ArgumentParser()
    for name in ("exe", "native", "emulator", "source-dir", "work"):
        ap.add_argument("--" + name, required=True)
    a = ap.parse_args()
    if not os.path.exists(a.native):
        missing(f"the Linux build's program {a.native} (build the native preset first)")
    if not os.path.exists(a.exe):
        missing(f"the Windows console program {a.exe}")
    shell32 = wine_file(a.source_dir, "shell32.dll")
    if not shell32:
        missing("Wine's shell32.dll")
    sources = [shell32] + sorted(glob.glob(os.path.join(a.source_dir, "tests/data/*.ico")))
    corpus = os.path.join(a.source_dir, "..", "shared", "corpus")
    if os.path.isdir(corpus):
        for pattern in ("**/*.ico", "**/*.exe", "**/*.dll"):
            sources += sorted(glob.glob(os.path.join(corpus, pattern), recursive=True))
    else:
        print(f"note: no shared corpus at {corpus}; Wine's and the project's files only")
    stored = [open(s, "rb").read() for s in sources]

    shutil.rmtree(a.work, ignore_errors=True)
    problems = []
    counts = {"pictures": 0, "stored": 0, "encoded": 0}
    for mode in MODES:
        label = " ".join(mode)
        ours = {}
        for side in ("linux", "windows"):
            out = os.path.join(a.work, label.replace(" ", "").lstrip("-"), side)
            os.makedirs(out)
            if side == "linux":
                command = [a.native, "extract", "--jsonl", "--format", "png", *mode, "-o", out]
                command += sources
            else:
                command = [a.emulator, a.exe, "extract", "--jsonl", "--format", "png", *mode]
                command += ["-o", windows_path(out)] + [windows_path(s) for s in sources]
            code, text = run(command)
            ours[side] = (code, documents(text), out)
        (lcode, ldocs, ldir), (wcode, wdocs, wdir) = ours["linux"], ours["windows"]
        if lcode != wcode:
            problems.append(f"{label}: exit status {lcode} on Linux, {wcode} on Windows")
        if len(ldocs) != len(sources) or len(wdocs) != len(sources):
            problems.append(f"{label}: {len(ldocs)} and {len(wdocs)} documents for {len(sources)}")
            continue
        for source, data, ld, wd in zip(sources, stored, ldocs, wdocs):
            where = f"{label} {os.path.relpath(source, a.source_dir)}"
            if ld["status"] != wd["status"]:
                problems.append(f"{where}: status {ld['status']} and {wd['status']}")
            louts = [outcome(o, ldir) for o in ld.get("outputs", [])]
            wouts = [outcome(o, windows_path(wdir)) for o in wd.get("outputs", [])]
            if louts != wouts:
                problems.append(f"{where}: outputs {louts} and {wouts}")
                continue
            for _, status, name in louts:
                if status != "written":
                    continue
                lpath, wpath = os.path.join(ldir, name), os.path.join(wdir, name)
                lbytes, wbytes = open(lpath, "rb").read(), open(wpath, "rb").read()
                counts["pictures"] += 1
                if lbytes in data:
                    counts["stored"] += 1
                    if wbytes != lbytes:
                        problems.append(f"{where}: {name}: the stored PNG is not written as it is")
                    continue
                counts["encoded"] += 1
                if wbytes in data:
                    problems.append(f"{where}: {name}: a stored PNG where Linux encodes one")
                elif pixels(lpath) != pixels(wpath):
                    problems.append(f"{where}: {name}: pixels differ")
    print(f"{len(sources)} sources, {len(MODES)} option sets: {counts['pictures']} pictures "
          f"({counts['stored']} stored PNGs byte for byte, {counts['encoded']} encoded, "
          "compared as RGBA)")
    for p in problems[:40]:
        print("DIFFERS: " + p)
    if problems:
        print(f"{len(problems)} differences")
        return 1
    if counts["stored"] == 0 or counts["encoded"] == 0:
        print("nothing of one kind was compared")
        return 1
    shutil.rmtree(a.work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
