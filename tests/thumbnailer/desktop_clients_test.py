#!/usr/bin/python3
"""The thumbnailer through the clients file managers use, installed as a user
would have it, with no other thumbnailer in sight.

    desktop_clients_test.py mime    BUILD_DIR SOURCE_DIR
    desktop_clients_test.py tumbler BUILD_DIR SOURCE_DIR
    desktop_clients_test.py gnome   BUILD_DIR SOURCE_DIR

mime:    every type the system's MIME database (GIO, as file managers ask it)
         gives the files the thumbnailer reads is in its MimeType= list.
tumbler: Thunar's service (tumblerd in a private D-Bus session) is asked over
         D-Bus for normal and large thumbnails of Wine's notepad.exe and
         shell32.dll, a byte-built NE file, icon and cursor files.
gnome:   the same through GNOME's factory, which runs thumbnailers inside
         bubblewrap with /usr bound: the install is bound over /usr/local in
         a private mount namespace (needs root).

Each thumbnail must appear in $XDG_CACHE_HOME/thumbnails/{normal,large} with
the right Thumb::URI and Thumb::MTime, at the size the thumbnailer gives (an
icon smaller than asked stays its own size: this also tells our output from
that of the clients' own image loaders). Exit 77 means skipped (a tool is
missing, outside CI); under CI=true a missing tool fails.
"""
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SKIP = 77
PY = "/usr/bin/python3"  # the system's, which has GObject introspection
TUMBLERD = "/usr/lib/x86_64-linux-gnu/tumbler-1/tumblerd"
FLAVORS = {"normal": 128, "large": 256}


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def missing(what):
    if os.environ.get("CI") == "true":
        fail("missing in CI (setup provides it): " + what)
    print("SKIPPED: " + what, file=sys.stderr)
    sys.exit(SKIP)


def sanitizer_build(build):
    with open(os.path.join(build, "CMakeCache.txt")) as f:
        return "VANTORICO_SANITIZE:BOOL=ON\n" in f.read()


def install(build, prefix):
    cmake = shutil.which("cmake") or missing("cmake")
    subprocess.run([cmake, "--install", build, "--prefix", prefix, "--component", "thumbnailer"],
                   check=True, stdout=subprocess.DEVNULL)


def wine_file(source, name):
    script = '. "$1/scripts/machine.sh"; wine_file "$2"'
    r = subprocess.run(["bash", "-c", script, "-", source, name], capture_output=True, text=True)
    return r.stdout.strip() if r.returncode == 0 else None


def inputs(source, scratch):
    """(path, size of the largest image) of every file the clients are asked for."""
    files = []
    for name in ("notepad.exe", "shell32.dll"):
        path = wine_file(source, name)
        if not path:
            missing("Wine's " + name)
        files.append((path, 256))
    ne = os.path.join(scratch, "inputs", "library.dll")
    os.makedirs(os.path.dirname(ne), exist_ok=True)
    subprocess.run([PY, os.path.join(source, "bench", "make_ne.py"), "1", ne], check=True)
    files.append((ne, 16))
    data = os.path.join(source, "tests", "data")
    files.append((os.path.join(data, "two_images.ico"), 32))
    files.append((os.path.join(data, "with_png.ico"), 256))
    files.append((os.path.join(data, "arrow.cur"), 32))
    # An animated cursor by others (three 32 x 32 frames): the first frame.
    ani = os.path.join(source, "..", "shared", "corpus", "kimageformats", "test.ani")
    if not os.path.exists(ani):
        missing("the corpus's kimageformats/test.ani")
    files.append((os.path.abspath(ani), 32))
    # One 4096 x 4096 PNG image and nothing smaller: it is shrunk as its rows
    # are decoded, however large it is.
    large = os.path.join(scratch, "inputs", "large.ico")
    with open(large, "wb") as f:
        f.write(large_png_icon(4096))
    files.append((large, 4096))
    return files


def large_png_icon(edge):
    """An icon file of one black edge x edge PNG (1-bit grey), a few KB."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    rows = (b"\0" * (1 + (edge + 7) // 8)) * edge
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", edge, edge, 1, 0, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(png), 22) + png


def listed_types(prefix):
    path = os.path.join(prefix, "share", "thumbnailers", "vantorico.thumbnailer")
    with open(path) as f:
        for line in f:
            if line.startswith("MimeType="):
                return [t for t in line.strip()[len("MimeType="):].split(";") if t]
    fail(path + " has no MimeType=")


def content_type(path, name=None):
    """What GIO (and so Thunar, Nautilus, Caja, Nemo) calls the file."""
    from gi.repository import Gio
    with open(path, "rb") as f:
        data = f.read(65536)
    guessed, _ = Gio.content_type_guess(name or os.path.basename(path), data)
    return guessed


def png_info(path):
    """(width, height, {tEXt key: value}) of a PNG file."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail(path + " is not a PNG")
    at, size, text = 8, None, {}
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            size = struct.unpack(">II", body[:8])
        elif kind == b"tEXt":
            key, _, value = body.partition(b"\0")
            text[key.decode("latin-1")] = value.decode("latin-1")
        at += 12 + length
    return size[0], size[1], text


def check_cached(cache, files):
    """Each file's thumbnails as the freedesktop cache must hold them."""
    from gi.repository import Gio
    for path, largest in files:
        uri = Gio.File.new_for_path(path).get_uri()
        leaf = hashlib.md5(uri.encode()).hexdigest() + ".png"
        for flavor, size in FLAVORS.items():
            thumb = os.path.join(cache, "thumbnails", flavor, leaf)
            if not os.path.exists(thumb):
                fail("no %s thumbnail of %s (%s)" % (flavor, path, thumb))
            width, height, text = png_info(thumb)
            if text.get("Thumb::URI") != uri:
                fail("%s: Thumb::URI %r, not %r" % (thumb, text.get("Thumb::URI"), uri))
            # Seconds; tumbler 4.18 writes them with six decimals.
            mtime = os.stat(path).st_mtime
            try:
                stored = float(text.get("Thumb::MTime", ""))
            except ValueError:
                stored = None
            if stored is None or abs(stored - mtime) >= (1e-5 if "." in text["Thumb::MTime"] else 1):
                fail("%s: Thumb::MTime %r, not %r" % (thumb, text.get("Thumb::MTime"), mtime))
            want = min(size, largest)
            if max(width, height) != want:
                fail("%s thumbnail of %s is %dx%d, not %d" % (flavor, path, width, height, want))
            print("%-6s %-60s %dx%d" % (flavor, path, width, height))


def client_env(scratch, prefix):
    """A user's session that sees our thumbnailer and no other: the data
    folders are the prefix and a folder holding only the MIME database
    (image loaders identify the picture through it)."""
    system = os.path.join(scratch, "system")
    os.makedirs(system, exist_ok=True)
    os.symlink("/usr/share/mime", os.path.join(system, "mime"))
    env = dict(os.environ)
    for key in ("XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME"):
        env[key] = os.path.join(scratch, key.lower())
        os.makedirs(env[key], exist_ok=True)
    env["XDG_DATA_DIRS"] = os.path.join(prefix, "share") + ":" + system
    env["PATH"] = os.path.join(prefix, "bin") + ":" + env.get("PATH", "/usr/bin:/bin")
    # GNOME's factory reads its settings (schemas from /usr/share), in memory.
    env["GSETTINGS_SCHEMA_DIR"] = "/usr/share/glib-2.0/schemas"
    env["GSETTINGS_BACKEND"] = "memory"
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    return env


def only_ours(env):
    found = []
    for base in [env["XDG_DATA_HOME"]] + env["XDG_DATA_DIRS"].split(":"):
        folder = os.path.join(base, "thumbnailers")
        if os.path.isdir(folder):
            found += os.listdir(folder)
    if found != ["vantorico.thumbnailer"]:
        fail("thumbnailers in sight: %s" % found)


# --- mime ---------------------------------------------------------------------

def test_mime(build, source):
    try:
        import gi  # noqa: F401
    except ImportError:
        missing("python3-gi")
    scratch = tempfile.mkdtemp(prefix="vantorico-mime-")
    try:
        prefix = os.path.join(scratch, "prefix")
        install(build, prefix)
        listed = listed_types(prefix)
        # Each file under the names such files have, and under none (the
        # content alone decides).
        names = {
            "pe": ["x.exe", "x.dll", "x.cpl", "x.scr", "x.ocx", "x.sys", "x.drv", "x.mun", "x"],
            "ne": ["x.exe", "x.dll", "x.drv", "x.icl", "x"],
            "ico": ["x.ico", "x"],
            "cur": ["x.cur", "x"],
            "ani": ["x.ani", "x"],
        }
        files = inputs(source, scratch)
        kinds = [("pe", files[0][0]), ("pe", files[1][0]), ("ne", files[2][0]),
                 ("ico", files[3][0]), ("cur", files[5][0]), ("ani", files[6][0])]
        seen = set()
        for kind, path in kinds:
            for name in names[kind]:
                t = content_type(path, name)
                seen.add(t)
                if t not in listed:
                    fail("%s named %s is %s, which vantorico.thumbnailer does not list" %
                         (path, name, t))
        print("types given here: %s; all listed" % ", ".join(sorted(seen)))
    finally:
        shutil.rmtree(scratch)


# --- tumbler ------------------------------------------------------------------

def test_tumbler(build, source):
    for tool in ("dbus-run-session",):
        if not shutil.which(tool):
            missing(tool)
    if not os.path.exists(TUMBLERD):
        missing("tumbler (" + TUMBLERD + ")")
    try:
        import gi  # noqa: F401
    except ImportError:
        missing("python3-gi")
    scratch = tempfile.mkdtemp(prefix="vantorico-tumbler-")
    try:
        prefix = os.path.join(scratch, "prefix")
        install(build, prefix)
        # tumbler has image loaders of its own: a wrapper that records each
        # run (then runs the installed program) shows the thumbnails are ours.
        program = os.path.join(prefix, "bin", "vantorico-thumbnailer")
        runs = os.path.join(scratch, "runs.txt")
        os.rename(program, program + ".installed")
        with open(program, "w") as f:
            f.write('#!/bin/sh\nprintf "%%s\\n" "$*" >>%s\nexec "$0.installed" "$@"\n' % runs)
        os.chmod(program, 0o755)
        env = client_env(scratch, prefix)
        only_ours(env)
        files = inputs(source, scratch)
        r = subprocess.run(["dbus-run-session", "--", PY, os.path.abspath(__file__),
                            "tumbler-session"] + [p for p, _ in files], env=env)
        if r.returncode != 0:
            fail("the tumbler session failed")
        check_cached(env["XDG_CACHE_HOME"], files)
        with open(runs) as f:
            ran = f.read().splitlines()
        for path, _ in files:
            for size in FLAVORS.values():
                if not any(line.startswith("-s %d %s " % (size, path)) for line in ran):
                    fail("tumbler did not run vantorico-thumbnailer for %s at %d" % (path, size))
    finally:
        shutil.rmtree(scratch)


def tumbler_session(paths):
    """Inside dbus-run-session: start tumblerd, queue every file for each
    flavour, and wait for each request to finish."""
    from gi.repository import Gio, GLib
    name = "org.freedesktop.thumbnails.Thumbnailer1"
    path = "/org/freedesktop/thumbnails/Thumbnailer1"
    daemon = subprocess.Popen([TUMBLERD])
    try:
        bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        deadline = time.time() + 30
        while True:
            owned = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                  "org.freedesktop.DBus", "NameHasOwner",
                                  GLib.Variant("(s)", (name,)), None, 0, -1, None)
            if owned.unpack()[0]:
                break
            if time.time() > deadline or daemon.poll() is not None:
                fail("tumblerd did not take " + name)
            time.sleep(0.1)
        ready, errors, finished = set(), [], set()
        loop = GLib.MainLoop()

        def on_signal(_conn, _sender, _path, _iface, signal, params, *_):
            args = params.unpack()
            if signal == "Ready":
                ready.update((args[0], uri) for uri in args[1])
            elif signal == "Error":
                errors.append(args)
            elif signal == "Finished":
                finished.add(args[0])
                loop.quit()

        bus.signal_subscribe(None, name, None, path, None, Gio.DBusSignalFlags.NONE, on_signal)
        uris = [Gio.File.new_for_path(p).get_uri() for p in paths]
        mimes = [content_type(p) for p in paths]
        # One request a flavour, each awaited, as a file manager asks.
        for flavor in FLAVORS:
            reply = bus.call_sync(name, path, name, "Queue",
                                  GLib.Variant("(asasssu)", (uris, mimes, flavor, "default", 0)),
                                  None, 0, -1, None)
            handle = reply.unpack()[0]
            late = []
            timeout = GLib.timeout_add_seconds(120, lambda: late.append(True) or loop.quit())
            while handle not in finished and not errors and not late:
                loop.run()
            if not late:
                GLib.source_remove(timeout)
            if errors:
                fail("tumbler reported errors: %s" % errors)
            if handle not in finished:
                fail("the %s request did not finish" % flavor)
            for uri in uris:
                if (handle, uri) not in ready:
                    fail("no Ready for %s (%s)" % (uri, flavor))
        print("tumbler: Ready for %d files in %s" % (len(uris), ", ".join(FLAVORS)))
    finally:
        daemon.terminate()
        daemon.wait()


# --- GNOME's factory ----------------------------------------------------------

def test_gnome(build, source):
    if os.geteuid() != 0:
        missing("root, to bind the install over /usr/local in a private mount namespace")
    for tool in ("unshare", "mount", "bwrap"):
        if not shutil.which(tool):
            missing(tool)
    scratch = tempfile.mkdtemp(prefix="vantorico-gnome-")
    try:
        prefix = os.path.join(scratch, "prefix")
        install(build, prefix)
        files = inputs(source, scratch)
        # Inside the namespace the install is /usr/local, which the
        # factory's sandbox sees as part of /usr.
        env = client_env(scratch, "/usr/local")
        env["XDG_DATA_DIRS"] = "/usr/local/share:" + os.path.join(scratch, "system")
        if sanitizer_build(build):
            # LeakSanitizer cannot work in the factory's sandbox, whose filter
            # forbids ptrace; the other tests check for leaks.
            env["ASAN_OPTIONS"] = "detect_leaks=0"
        script = 'mount --bind "$1" /usr/local && shift && exec "$@"'
        r = subprocess.run(["unshare", "--mount", "--propagation", "private", "sh", "-c", script,
                            "-", prefix, PY, os.path.abspath(__file__), "gnome-namespace"] +
                           [p for p, _ in files], env=env)
        if r.returncode == SKIP:
            sys.exit(SKIP)
        if r.returncode != 0:
            fail("GNOME's factory failed")
        check_cached(env["XDG_CACHE_HOME"], files)
    finally:
        shutil.rmtree(scratch)


def gnome_namespace(paths):
    try:
        import gi
        gi.require_version("GnomeDesktop", "3.0")
        from gi.repository import GnomeDesktop, Gio
    except (ImportError, ValueError):
        missing("gir1.2-gnomedesktop-3.0")
    only_ours(os.environ)
    sizes = {"normal": GnomeDesktop.DesktopThumbnailSize.NORMAL,
             "large": GnomeDesktop.DesktopThumbnailSize.LARGE}
    for flavor in FLAVORS:
        factory = GnomeDesktop.DesktopThumbnailFactory.new(sizes[flavor])
        for path in paths:
            uri = Gio.File.new_for_path(path).get_uri()
            mime = content_type(path)
            mtime = int(os.stat(path).st_mtime)
            if not factory.can_thumbnail(uri, mime, mtime):
                fail("GNOME's factory has no thumbnailer for %s (%s)" % (path, mime))
            pixbuf = factory.generate_thumbnail(uri, mime)
            if pixbuf is None:
                fail("no %s thumbnail of %s" % (flavor, path))
            factory.save_thumbnail(pixbuf, uri, mtime)
    print("GNOME's factory: %d files in %s" % (len(paths), ", ".join(FLAVORS)))


def main():
    if len(sys.argv) >= 2 and sys.argv[1] == "tumbler-session":
        tumbler_session(sys.argv[2:])
        return
    if len(sys.argv) >= 2 and sys.argv[1] == "gnome-namespace":
        gnome_namespace(sys.argv[2:])
        return
    if len(sys.argv) != 4 or sys.argv[1] not in ("mime", "tumbler", "gnome"):
        sys.exit(__doc__)
    build, source = os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3])
    {"mime": test_mime, "tumbler": test_tumbler, "gnome": test_gnome}[sys.argv[1]](build, source)
    print("passed")


if __name__ == "__main__":
    main()
