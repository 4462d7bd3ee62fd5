"""The Python module as installed: its own API and the icoextract-compatible one.

Run by tests/capi/installed_tree_test.cpp with PYTHONPATH at the installed
tree and the inputs in the environment:
  VANTORICO_PREFIX     the install prefix the module must come from
  VANTORICO_FIXTURES   one_icon.exe, no_resources.exe, version_only.exe (MinGW-built)
  VANTORICO_MODULE     the build's test module (named, numbered, empty and broken groups)
  VANTORICO_CLI_DIR    what `vantorico extract --type all` wrote from that module
  VANTORICO_SHELL32    Wine's shell32.dll
  VANTORICO_USER32     Wine's user32.dll (cursor groups)
  VANTORICO_SOURCE     the source tree (tests/data)
"""

import gc
import hashlib
import io
import os
import struct
import sys
import tempfile
import unittest

import icoextract as debian_icoextract  # Debian's python3-icoextract, the peer
import vantorico
import vantorico as icoextract

FIXTURES = os.environ["VANTORICO_FIXTURES"]
MODULE = os.environ["VANTORICO_MODULE"]
CLI_DIR = os.environ["VANTORICO_CLI_DIR"]
SHELL32 = os.environ["VANTORICO_SHELL32"]
USER32 = os.environ["VANTORICO_USER32"]


def fixture(name):
    return os.path.join(FIXTURES, name)


def ico_count(data):
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    assert reserved == 0 and kind == 1, data[:6]
    return count


class Installed(unittest.TestCase):
    def test_module_and_library_come_from_the_prefix(self):
        prefix = os.path.realpath(os.environ["VANTORICO_PREFIX"])
        self.assertTrue(os.path.realpath(vantorico.__file__).startswith(prefix), vantorico.__file__)
        self.assertRegex(vantorico.__version__, r"^\d+\.\d+\.\d+$")


class NativeApi(unittest.TestCase):
    def test_path_and_bytes_give_the_same_groups_and_the_cli_bytes(self):
        with open(MODULE, "rb") as f:
            data = f.read()
        with vantorico.open(MODULE) as by_path, vantorico.open(data) as by_bytes:
            self.assertEqual(by_path.kind, "module")
            a, b = by_path.groups(), by_bytes.groups()
            self.assertEqual([(g.type, g.name, g.languages) for g in a],
                             [(g.type, g.name, g.languages) for g in b])
            written = 0
            for group in a:
                cli = os.path.join(CLI_DIR, "%d.ico" % group.index)
                if group.type != "icon" or not os.path.exists(cli):
                    continue
                with open(cli, "rb") as f:
                    self.assertEqual(group.ico_bytes(), f.read(), group)
                written += 1
            self.assertEqual(written, len([n for n in os.listdir(CLI_DIR) if n.endswith(".ico")]))
            self.assertIn("MAINICON", [g.name for g in a])
            self.assertIn(7, [g.name for g in a])

    def test_images_pixels_digests_and_png(self):
        with vantorico.open(MODULE) as source:
            group = next(g for g in source.groups("icon") if g.name == "MAINICON")
            self.assertEqual(len(group.images), 2)
            for image in group.images:
                stored = image.bytes()
                self.assertEqual(len(stored), image.byte_count)
                self.assertEqual(image.sha256(), hashlib.sha256(stored).hexdigest())
                self.assertEqual(image.md5(), hashlib.md5(stored).hexdigest())
                width, height, pixels = image.rgba()
                self.assertEqual((width, height), (image.width, image.height))
                self.assertEqual(len(pixels), width * height * 4)
            png = group.png(size=20)
            self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual(struct.unpack(">II", png[16:24]), (20, 20))
            self.assertEqual(group.png()[:4], b"\x89PNG")
            # Exact images: the stored bytes, where the default zeroes biSizeImage.
            exact = group.ico_bytes("exact")
            self.assertEqual(exact[6 + 16 * 2:], b"".join(i.bytes() for i in group.images))
            self.assertEqual(len(exact), len(group.ico_bytes()))

    def test_icon_files_and_cursors(self):
        icon_file = os.path.join(os.environ["VANTORICO_SOURCE"], "tests", "data", "two_images.ico")
        with vantorico.open(icon_file) as source:
            self.assertEqual(source.kind, "icon file")
            (group,) = source.groups()
            self.assertEqual((group.type, group.name, group.languages), ("icon", None, []))
            self.assertEqual(ico_count(group.ico_bytes("exact")), 2)
            self.assertEqual(source.count("cursor"), 0)
        with vantorico.open(USER32) as source:
            cursors = source.groups("cursor")
            self.assertGreater(len(cursors), 10)
            for group in cursors:
                data = group.ico_bytes()
                self.assertEqual(struct.unpack("<HHH", data[:6]), (0, 2, len(group.images)))
                self.assertTrue(all(image.hotspot is not None for image in group.images))
                self.assertEqual(group.png()[:4], b"\x89PNG")

    def test_cursor_and_animated_files(self):
        # A 16 x 16 32-bit DIB (stored height doubled, then the mask) with hotspot 3,4.
        dib = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 32, 0, 0, 0, 0, 0, 0)
        dib += b"\x40\x80\xc0\xff" * 256 + b"\0" * 64
        cur = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", 16, 16, 0, 0, 3, 4,
                                                          len(dib), 22) + dib
        anih = struct.pack("<9I", 36, 1, 1, 0, 0, 0, 0, 6, 1)
        fram = b"fram" + b"icon" + struct.pack("<I", len(cur)) + cur
        body = b"ACON" + b"anih" + struct.pack("<I", 36) + anih + b"LIST" + \
            struct.pack("<I", len(fram)) + fram
        ani = b"RIFF" + struct.pack("<I", len(body)) + body
        with vantorico.open(cur) as source:
            self.assertEqual(source.kind, "cursor file")
            (group,) = source.groups()
            self.assertEqual(group.type, "cursor")
            self.assertEqual(group.images[0].hotspot, (3, 4))
            self.assertEqual(group.ico_bytes(), cur)
            self.assertEqual(group.png()[:4], b"\x89PNG")
        with vantorico.open(ani) as source:
            self.assertEqual(source.kind, "animated file")
            (group,) = source.groups()
            self.assertEqual(group.type, "anicursor")
            self.assertEqual(group.ico_bytes(), ani)

    def test_errors_carry_the_engine_reasons(self):
        # A refused open must not leave a half-made object that fails when collected.
        unraisable = []
        old_hook, sys.unraisablehook = sys.unraisablehook, unraisable.append
        self.addCleanup(setattr, sys, "unraisablehook", old_hook)
        with self.assertRaises(vantorico.VantoricoError) as missing:
            vantorico.open(os.path.join(FIXTURES, "no such file.exe"))
        self.assertEqual(missing.exception.status, vantorico.ERR_MISSING)
        self.assertIn("no such file", str(missing.exception))
        with self.assertRaises(vantorico.VantoricoError) as junk:
            vantorico.open(b"MZ but nothing else")
        self.assertEqual(junk.exception.status, vantorico.ERR_UNSUPPORTED)
        del missing, junk
        gc.collect()
        self.assertEqual(unraisable, [])
        with vantorico.open(MODULE) as source:
            broken = [g for g in source.groups("icon") if not g.readable]
            self.assertEqual(len(broken), 1)
            with self.assertRaises(vantorico.VantoricoError) as unreadable:
                broken[0].ico_bytes()
            self.assertEqual(unreadable.exception.status, vantorico.ERR_UNREADABLE)
            with self.assertRaises(vantorico.VantoricoError):
                source.group(999)
        source.close()
        with self.assertRaises(ValueError):
            source.groups()


class IconExtractorApi(unittest.TestCase):
    """icoextract's kinds of assertions, on MinGW-built programs."""

    def test_one_icon_group(self):
        extractor = icoextract.IconExtractor(fixture("one_icon.exe"))
        self.assertEqual(extractor.list_group_icons(), [(101, None)])
        data = extractor.get_icon()
        self.assertIsInstance(data, io.BytesIO)
        self.assertEqual(ico_count(data.getvalue()), 2)
        self.assertEqual(extractor.get_icon(resource_id=101).getvalue(), data.getvalue())
        self.assertEqual(extractor.get_icon(num=-1).getvalue(), data.getvalue())
        with tempfile.TemporaryDirectory() as folder:
            out = os.path.join(folder, "out.ico")
            extractor.export_icon(out)
            with open(out, "rb") as f:
                self.assertEqual(f.read(), data.getvalue())
            extractor.export_icon(out, resource_id=101)
            with open(out, "rb") as f:
                self.assertEqual(f.read(), data.getvalue())

    def test_missing_and_non_icon_ids(self):
        extractor = icoextract.IconExtractor(fixture("one_icon.exe"))
        with self.assertRaises(icoextract.IconNotFoundError):
            extractor.get_icon(num=1)
        with self.assertRaises(icoextract.IconNotFoundError):
            extractor.get_icon(resource_id=1)  # the version resource
        with self.assertRaises(icoextract.IconNotFoundError):
            extractor.get_icon(resource_id=102)
        with tempfile.TemporaryDirectory() as folder:
            with self.assertRaises(icoextract.IconNotFoundError):
                extractor.export_icon(os.path.join(folder, "x.ico"), resource_id=102)
            self.assertEqual(os.listdir(folder), [])

    def test_no_resources_and_version_only(self):
        for name in ("no_resources.exe", "version_only.exe"):
            with self.assertRaises(icoextract.NoIconsAvailableError, msg=name):
                icoextract.IconExtractor(fixture(name))
            # Debian's icoextract says the same.
            with self.assertRaises(debian_icoextract.NoIconsAvailableError, msg=name):
                debian_icoextract.IconExtractor(fixture(name))

    def test_data_input(self):
        with open(fixture("one_icon.exe"), "rb") as f:
            data = f.read()
        by_data = icoextract.IconExtractor(data=data)
        by_name = icoextract.IconExtractor(filename=fixture("one_icon.exe"))
        self.assertEqual(by_data.get_icon().getvalue(), by_name.get_icon().getvalue())
        with self.assertRaises(icoextract.IconExtractorError):
            icoextract.IconExtractor(data=b"not a program")
        with self.assertRaises(FileNotFoundError):
            icoextract.IconExtractor(fixture("absent.exe"))

    def test_exception_hierarchy(self):
        for error in (icoextract.NoIconsAvailableError, icoextract.IconNotFoundError,
                      icoextract.InvalidIconDefinitionError):
            self.assertTrue(issubclass(error, icoextract.IconExtractorError))

    def test_bytes_are_debian_icoextracts(self):
        compared = 0
        for path in (fixture("one_icon.exe"), MODULE, SHELL32):
            ours = icoextract.IconExtractor(path)
            theirs = debian_icoextract.IconExtractor(path)
            for num in range(len(ours.list_group_icons())):
                try:
                    expected = theirs.get_icon(num=num).getvalue()
                except KeyError:  # an image it names is absent: icoextract fails its own way
                    with self.assertRaises(icoextract.InvalidIconDefinitionError):
                        ours.get_icon(num=num)
                    continue
                self.assertEqual(ours.get_icon(num=num).getvalue(), expected, (path, num))
                compared += 1
        self.assertGreater(compared, 150)


if __name__ == "__main__":
    unittest.main(verbosity=2)
