"""VantorICO's icon engine for Python, over libvantorico.so.1 (ctypes).

Native API::

    import vantorico
    with vantorico.open("shell32.dll") as source:        # or open(some_bytes)
        for group in source.groups():                      # icons, cursors, animated
            ico = group.ico_bytes()                        # what `vantorico extract` writes
            png = group.png(size=48)
            for image in group.images:
                width, height, pixels = image.rgba()

The icoextract 0.2 interface is here too (IconExtractor and its exceptions),
so that ``import vantorico as icoextract`` serves its users.
"""

import ctypes
import io
import os

__all__ = [
    "open", "Source", "Group", "Image", "VantoricoError",
    "IconExtractor", "IconExtractorError", "NoIconsAvailableError", "IconNotFoundError",
    "InvalidIconDefinitionError",
]

# Status codes (vantorico.h).
OK = 0
ERR_ARGUMENT = 1
ERR_MISSING = 2
ERR_NOT_REGULAR_FILE = 3
ERR_READ_FAILED = 4
ERR_NO_MEMORY = 5
ERR_UNSUPPORTED = 6
ERR_NO_SUCH_GROUP = 7
ERR_NO_SUCH_IMAGE = 8
ERR_UNREADABLE = 9
ERR_OVER_BUDGET = 10
ERR_UNDECODABLE = 11
ERR_ENCODE_FAILED = 12
ERR_SHORT_BUFFER = 13
ERR_NOT_APPLICABLE = 14

ICON, CURSOR, ANICURSOR, ANIICON = 0, 1, 2, 3
TYPE_WORDS = ("icon", "cursor", "anicursor", "aniicon")
LAYOUTS = {"default": 0, "exact": 1, "stored": 2}
FORMATS = {0: "other", 1: "DIB", 2: "PNG"}
MODULE, ICON_FILE, CURSOR_FILE, ANIMATED_FILE = 1, 2, 3, 4
_KIND_WORDS = {MODULE: "module", ICON_FILE: "icon file", CURSOR_FILE: "cursor file",
               ANIMATED_FILE: "animated file"}


def _load_library():
    """libvantorico.so.1: $VANTORICO_LIBRARY, else beside this package's
    installed tree, else wherever the dynamic linker finds it."""
    candidates = []
    if os.environ.get("VANTORICO_LIBRARY"):
        candidates.append(os.environ["VANTORICO_LIBRARY"])
    try:
        from ._location import LIBDIR_RELATIVE
        here = os.path.dirname(os.path.abspath(__file__))
        candidates.append(os.path.join(here, LIBDIR_RELATIVE, "libvantorico.so.1"))
    except ImportError:
        pass
    candidates.append("libvantorico.so.1")
    last = None
    for name in candidates:
        if os.sep in name and not os.path.exists(name):
            continue
        try:
            return ctypes.CDLL(name)
        except OSError as error:
            last = error
    raise ImportError("libvantorico.so.1 not found: %s" % last)


_lib = _load_library()


class _GroupInfo(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("index", ctypes.c_long), ("has_name", ctypes.c_int),
                ("name_is_text", ctypes.c_int), ("id", ctypes.c_uint), ("name_cut", ctypes.c_int),
                ("language_count", ctypes.c_size_t), ("language_taken", ctypes.c_size_t),
                ("readable", ctypes.c_int), ("image_count", ctypes.c_size_t),
                ("byte_count", ctypes.c_size_t)]


class _ImageInfo(ctypes.Structure):
    _fields_ = [("width", ctypes.c_ulong), ("height", ctypes.c_ulong),
                ("bit_depth", ctypes.c_ulong), ("format", ctypes.c_int),
                ("byte_count", ctypes.c_size_t), ("has_hotspot", ctypes.c_int),
                ("hotspot_x", ctypes.c_uint), ("hotspot_y", ctypes.c_uint)]


_P = ctypes.c_void_p
_BUF = ctypes.POINTER(ctypes.POINTER(ctypes.c_ubyte))
_SIZE = ctypes.POINTER(ctypes.c_size_t)
_SIGNATURES = {
    "vantorico_version": (ctypes.c_char_p, []),
    "vantorico_strerror": (ctypes.c_char_p, [ctypes.c_int]),
    "vantorico_free": (None, [_P]),
    "vantorico_open_path": (ctypes.c_int, [ctypes.c_char_p, ctypes.POINTER(_P)]),
    "vantorico_open_memory": (ctypes.c_int, [ctypes.c_char_p, ctypes.c_size_t, ctypes.POINTER(_P)]),
    "vantorico_close": (None, [_P]),
    "vantorico_source_kind_of": (ctypes.c_int, [_P, ctypes.POINTER(ctypes.c_int)]),
    "vantorico_set_language": (ctypes.c_int, [_P, ctypes.c_uint]),
    "vantorico_group_count": (ctypes.c_int, [_P, ctypes.c_int, ctypes.POINTER(ctypes.c_long)]),
    "vantorico_group_describe": (ctypes.c_int, [_P, ctypes.c_int, ctypes.c_long,
                                                ctypes.POINTER(_GroupInfo)]),
    "vantorico_group_name": (ctypes.c_int, [_P, ctypes.c_int, ctypes.c_long, ctypes.c_char_p,
                                            ctypes.c_size_t, _SIZE]),
    "vantorico_group_language": (ctypes.c_int, [_P, ctypes.c_int, ctypes.c_long, ctypes.c_size_t,
                                                ctypes.POINTER(ctypes.c_uint)]),
    "vantorico_image_describe": (ctypes.c_int, [_P, ctypes.c_int, ctypes.c_long, ctypes.c_size_t,
                                                ctypes.POINTER(_ImageInfo)]),
    "vantorico_group_file": (ctypes.c_int, [_P, ctypes.c_int, ctypes.c_long, ctypes.c_int, _BUF,
                                            _SIZE]),
    "vantorico_group_resource": (ctypes.c_int, [_P, ctypes.c_int, ctypes.c_long, _BUF, _SIZE]),
    "vantorico_group_png": (ctypes.c_int, [_P, ctypes.c_int, ctypes.c_long, ctypes.c_ulong, _BUF,
                                           _SIZE]),
    "vantorico_image_bytes": (ctypes.c_int, [_P, ctypes.c_int, ctypes.c_long, ctypes.c_size_t,
                                             _BUF, _SIZE]),
    "vantorico_image_rgba": (ctypes.c_int, [_P, ctypes.c_int, ctypes.c_long, ctypes.c_size_t, _BUF,
                                            ctypes.POINTER(ctypes.c_ulong),
                                            ctypes.POINTER(ctypes.c_ulong)]),
    "vantorico_image_digest": (ctypes.c_int, [_P, ctypes.c_int, ctypes.c_long, ctypes.c_size_t,
                                              ctypes.c_int, ctypes.c_char_p, ctypes.c_size_t]),
}
for _name, (_restype, _argtypes) in _SIGNATURES.items():
    _function = getattr(_lib, _name)
    _function.restype = _restype
    _function.argtypes = _argtypes

__version__ = _lib.vantorico_version().decode()


class VantoricoError(Exception):
    """A call the engine refused: status is the library's code, reason its text."""

    def __init__(self, status, what=None):
        self.status = status
        self.reason = _lib.vantorico_strerror(status).decode()
        super().__init__("%s: %s" % (what, self.reason) if what else self.reason)


def _check(status, what=None):
    if status != OK:
        raise VantoricoError(status, what)


def _take(call, *args):
    """Calls a function that hands out a buffer; returns its bytes and frees it."""
    data = ctypes.POINTER(ctypes.c_ubyte)()
    size = ctypes.c_size_t()
    _check(call(*args, ctypes.byref(data), ctypes.byref(size)))
    try:
        return ctypes.string_at(data, size.value)
    finally:
        _lib.vantorico_free(data)


class Image:
    """One image of a group, as its group directory describes it."""

    def __init__(self, group, position, info):
        self._group = group
        self.position = position
        self.width = info.width
        self.height = info.height
        self.bit_depth = info.bit_depth
        self.format = FORMATS.get(info.format, "other")
        self.byte_count = info.byte_count
        self.hotspot = (info.hotspot_x, info.hotspot_y) if info.has_hotspot else None

    def _args(self):
        g = self._group
        return (g._source._handle(), g.type_code, g.index, self.position)

    def bytes(self):
        """The image's bytes as the source stores them."""
        return _take(_lib.vantorico_image_bytes, *self._args())

    def rgba(self):
        """(width, height, pixels): straight 8-bit RGBA, top row first."""
        data = ctypes.POINTER(ctypes.c_ubyte)()
        width, height = ctypes.c_ulong(), ctypes.c_ulong()
        _check(_lib.vantorico_image_rgba(*self._args(), ctypes.byref(data), ctypes.byref(width),
                                         ctypes.byref(height)))
        try:
            return width.value, height.value, ctypes.string_at(data, width.value * height.value * 4)
        finally:
            _lib.vantorico_free(data)

    def _digest(self, algorithm, size):
        out = ctypes.create_string_buffer(size)
        _check(_lib.vantorico_image_digest(*self._args(), algorithm, out, size))
        return out.raw

    def md5(self):
        return self._digest(0, 16).hex()

    def sha256(self):
        return self._digest(1, 32).hex()

    def __repr__(self):
        return "<Image %ux%u %u-bit %s %u bytes>" % (self.width, self.height, self.bit_depth,
                                                     self.format, self.byte_count)


class Group:
    """One group of a source: an icon or cursor group, or an animated resource.
    Its description (name, languages, images) is read when first asked for,
    so that taking only its file costs no more than the file."""

    _DESCRIBED = ("name", "name_cut", "languages", "language", "readable", "byte_count", "images")

    def __init__(self, source, type_code, index):
        self._source = source
        self.type_code = type_code
        self.type = TYPE_WORDS[type_code]
        self.index = index

    def __getattr__(self, attribute):
        if attribute not in Group._DESCRIBED:
            raise AttributeError(attribute)
        self._describe()
        return self.__dict__[attribute]

    def _describe(self):
        type_code, index = self.type_code, self.index
        info = _GroupInfo()
        handle = self._source._handle()
        _check(_lib.vantorico_group_describe(handle, type_code, index, ctypes.byref(info)))
        name = None
        if info.has_name and info.name_is_text:
            needed = ctypes.c_size_t()
            status = _lib.vantorico_group_name(handle, type_code, index, None, 0,
                                               ctypes.byref(needed))
            if status not in (OK, ERR_SHORT_BUFFER):
                _check(status)
            text = ctypes.create_string_buffer(needed.value)
            _check(_lib.vantorico_group_name(handle, type_code, index, text, needed.value, None))
            # Every byte but the terminator: a stored name may hold NUL characters.
            name = text.raw[:needed.value - 1].decode("utf-8", "surrogateescape")
        elif info.has_name:
            name = info.id
        languages = []
        for i in range(info.language_count):
            language = ctypes.c_uint()
            _check(_lib.vantorico_group_language(handle, type_code, index, i,
                                                 ctypes.byref(language)))
            languages.append(language.value)
        images = []
        if info.readable and type_code in (ICON, CURSOR):
            for i in range(info.image_count):
                image = _ImageInfo()
                _check(_lib.vantorico_image_describe(handle, type_code, index, i,
                                                     ctypes.byref(image)))
                images.append(Image(self, i, image))
        self.__dict__.update(
            name=name, name_cut=bool(info.name_cut), languages=languages,
            language=languages[info.language_taken] if languages else None,
            readable=bool(info.readable), byte_count=info.byte_count, images=images)

    def ico_bytes(self, layout="default"):
        """The group as a file: .ico (layout "default", as `vantorico extract`
        writes it; "exact", images as stored; "stored", the stored directory
        too), .cur for cursors, an animated resource's own bytes."""
        return _take(_lib.vantorico_group_file, self._source._handle(), self.type_code,
                     self.index, LAYOUTS[layout])

    def resource_bytes(self):
        """The stored resource: an icon or cursor group's directory, an animated resource."""
        return _take(_lib.vantorico_group_resource, self._source._handle(), self.type_code,
                     self.index)

    def png(self, size=None):
        """A PNG of the group: size None is its best image as it is, else an image
        of that size if it has one, else the best one scaled to size x size."""
        return _take(_lib.vantorico_group_png, self._source._handle(), self.type_code,
                     self.index, size or 0)

    def __repr__(self):
        return "<Group %s %d name=%r %d images>" % (self.type, self.index, self.name,
                                                    len(self.images))


class Source:
    """An opened source; close it (or use it as a context manager)."""

    def __init__(self, path_or_bytes):
        self._h = None  # a refused open leaves nothing for close() to free
        handle = ctypes.c_void_p()
        if isinstance(path_or_bytes, (bytes, bytearray, memoryview)):
            data = bytes(path_or_bytes)
            _check(_lib.vantorico_open_memory(data, len(data), ctypes.byref(handle)))
            self.path = None
        else:
            self.path = os.fspath(path_or_bytes)
            encoded = os.fsencode(self.path)
            _check(_lib.vantorico_open_path(encoded, ctypes.byref(handle)), self.path)
        self._h = handle
        kind = ctypes.c_int()
        _check(_lib.vantorico_source_kind_of(self._h, ctypes.byref(kind)))
        self.kind = _KIND_WORDS.get(kind.value, "icon file")

    def _handle(self):
        if not self._h:
            raise ValueError("the source is closed")
        return self._h

    def close(self):
        if self._h:
            _lib.vantorico_close(self._h)
            self._h = None

    def __del__(self):
        self.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def set_language(self, language):
        """The language read where a resource has several (0: the default order)."""
        _check(_lib.vantorico_set_language(self._handle(), language))

    def count(self, type="icon"):
        count = ctypes.c_long()
        _check(_lib.vantorico_group_count(self._handle(), TYPE_WORDS.index(type),
                                          ctypes.byref(count)))
        return count.value

    def group(self, index, type="icon"):
        if not 1 <= index <= self.count(type):
            raise VantoricoError(ERR_NO_SUCH_GROUP, "%s group %d" % (type, index))
        return Group(self, TYPE_WORDS.index(type), index)

    def groups(self, type=None):
        """Every group of a type ("icon", "cursor", "anicursor", "aniicon"), or of all."""
        types = TYPE_WORDS if type is None else (type,)
        return [Group(self, TYPE_WORDS.index(t), i) for t in types
                for i in range(1, self.count(t) + 1)]


def open(path_or_bytes):  # noqa: A001 (the module's own open, as the interface names it)
    """Opens a program file or an icon file from a path or from bytes."""
    return Source(path_or_bytes)


# icoextract 0.2's interface.

class IconExtractorError(Exception):
    pass


class NoIconsAvailableError(IconExtractorError):
    pass


class InvalidIconDefinitionError(IconExtractorError):
    pass


class IconNotFoundError(IconExtractorError):
    pass


class IconExtractor:
    """icoextract's extractor over this engine. The .ico bytes are the ones
    icoextract writes: each group directory entry as stored, images as stored."""

    def __init__(self, filename=None, data=None):
        if filename is None and data is None:
            raise IconExtractorError("Either filename or data must be given")
        try:
            self._source = Source(filename if filename is not None else data)
        except VantoricoError as error:
            if error.status == ERR_MISSING and filename is not None:
                raise FileNotFoundError(2, error.reason, filename) from None
            raise IconExtractorError(str(error)) from None
        if self._source.kind != "module":
            raise IconExtractorError("Not a program file (PE or NE): %s" % self._source.kind)
        self._count = self._source.count("icon")
        if self._count == 0:
            raise NoIconsAvailableError("File has no group icon resources")

    def list_group_icons(self):
        """The icon groups as (name, offset) tuples: the name is the resource ID
        (an int) or its text; the offset is not known to this engine (None)."""
        names = []
        for index in range(1, self._count + 1):
            names.append((Group(self._source, ICON, index).name, None))
        return names

    def _index_of(self, num, resource_id):
        if resource_id is not None:
            for index in range(1, self._count + 1):
                if Group(self._source, ICON, index).name == resource_id:
                    return index
            raise IconNotFoundError("No icon exists with resource ID %s" % resource_id)
        try:
            return range(1, self._count + 1)[num]
        except (IndexError, TypeError):
            raise IconNotFoundError("No icon exists at index %s" % num) from None

    def _ico(self, num, resource_id):
        index = self._index_of(num, resource_id)
        group = self._source.group(index)
        directory = group.resource_bytes()
        if len(directory) >= 2 and directory[:2] != b"\0\0":
            raise InvalidIconDefinitionError(
                "Invalid group icon definition (got Reserved=%s instead of 0)" %
                hex(int.from_bytes(directory[:2], "little")))
        try:
            return group.ico_bytes("stored")
        except VantoricoError as error:
            raise InvalidIconDefinitionError(str(error)) from None

    def get_icon(self, num=0, resource_id=None):
        """The .ico of a group (by position, or by resource ID) as a BytesIO."""
        return io.BytesIO(self._ico(num, resource_id))

    def export_icon(self, filename, num=0, resource_id=None):
        """Writes the .ico of a group (by position, or by resource ID) to filename."""
        data = self._ico(num, resource_id)
        with io.open(filename, "wb") as f:
            f.write(data)
