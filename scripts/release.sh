#!/usr/bin/env bash
# Builds the release artefacts and checks them.
#
#   scripts/release.sh           from a clean, committed tree: fresh release
#                                builds, both packages into
#                                build/release-artifacts/, every check
#   scripts/release.sh --check   the same checks, reusing the build folders of
#                                an earlier run and allowing local changes (the
#                                last step of scripts/test.sh)
#
# Artefacts: VantorICO-<version>-win32.zip (preset release-win32) and
# vantorico_<version>_amd64.deb (preset release). Checks: the zip's listing;
# the zipped programs as files (32-bit x86 PE images of the right subsystem
# that import system DLLs only; the window tool's version resource, icon and
# title); the window tool under Wine where this machine runs 32-bit code; the
# .deb's contents, its extracted CLI's --version, lintian; byte-identical
# binaries from a second pair of build folders; and the size limits of the
# Windows programs.
set -euo pipefail
# The checks read tools' output (objdump, dpkg-deb, lintian) and match bytes:
# in the C locale, whatever session calls this (the test script's Wine
# session exports a Chinese one, in which objdump says "文件格式").
export LC_ALL=C
unset LANGUAGE
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${VANTORICO_JOBS:-2}
mode=full
case "${1:-}" in
  "") ;;
  --check) mode=check ;;
  *) echo "usage: scripts/release.sh [--check]" >&2; exit 2 ;;
esac

log() { printf '[release] %s\n' "$*"; }
fail() { printf '[release] FAILED: %s\n' "$*" >&2; exit 1; }

out=build/release-artifacts
logs=build/release-logs
repro=build/release-repro
mkdir -p "$logs"

if [ "$mode" = full ]; then
  scripts/setup.sh packages
  if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    fail "the working tree has uncommitted changes; commit them (or use --check)"
  fi
  rm -rf build/release build/release-win32 "$repro" "$out"
fi
mkdir -p "$out"

# Anything that stamps a time takes the last commit's.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
version=$(sed -n 's/^project(VantorICO VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no project(VERSION) in CMakeLists.txt"
log "version $version, commit $(git rev-parse --short HEAD), SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"

# build PRESET DIR TARGET...: configure PRESET into DIR and build the targets.
build() {
  local preset=$1 dir=$2 name
  shift 2
  name=$(echo "$dir" | tr / _)
  nice -n 10 cmake --preset "$preset" -B "$dir" >"$logs/configure-$name.log" 2>&1 ||
    { cat "$logs/configure-$name.log"; fail "configure $preset in $dir"; }
  nice -n 10 cmake --build "$dir" -j "$jobs" --target "$@" >"$logs/build-$name.log" 2>&1 ||
    { tail -40 "$logs/build-$name.log"; fail "build $preset in $dir"; }
}

# pack DIR: cpack in DIR (it builds what is still missing), artefact to $out.
pack() {
  local dir=$1 name
  name=$(echo "$dir" | tr / _)
  (cd "$dir" && nice -n 10 cpack >"$root/$logs/cpack-$name.log" 2>&1) ||
    { cat "$logs/cpack-$name.log"; fail "cpack in $dir"; }
}

start=$SECONDS
native_bins=(cli/vantorico thumbnailer/vantorico-thumbnailer)
win_bins=(app/VantorICO.exe cli/vantorico.exe)

build release build/release vantorico vantorico-thumbnailer
pack build/release
deb=vantorico_${version}_amd64.deb
cp "build/release/$deb" "$out/"
log "built $out/$deb ($((SECONDS - start)) s)"

build release-win32 build/release-win32 VantorICO vantorico
pack build/release-win32
zip=VantorICO-${version}-win32.zip
cp "build/release-win32/$zip" "$out/"
log "built $out/$zip ($((SECONDS - start)) s)"

# --- the zip ---------------------------------------------------------------
unzip -l "$out/$zip" >"$logs/zip-listing.txt" || fail "unzip cannot open $zip"
cat "$logs/zip-listing.txt"
expected_zip=(VantorICO.exe vantorico.exe README.txt LICENSE.txt NOTICE.txt)
listed=$(awk 'NR > 3 && $4 != "" && $4 !~ /\/$/ {print $4}' "$logs/zip-listing.txt" | sed '/^-*$/d')
for f in "${expected_zip[@]}"; do
  grep -qx "VantorICO-$version-win32/$f" <<<"$listed" || fail "$zip lacks $f"
done
[ "$(wc -l <<<"$listed")" -eq "${#expected_zip[@]}" ] || fail "$zip holds unexpected files"
log "zip: opens and holds ${expected_zip[*]}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unzip -q "$out/$zip" -d "$scratch/zip"
zipdir=$scratch/zip/VantorICO-$version-win32
cmp -s "$zipdir/VantorICO.exe" build/release-win32/app/VantorICO.exe || fail "zipped VantorICO.exe differs from the build"

# The zipped programs as files, checked on any machine: what they are, what
# they need at run time, and what the window tool says about itself.
# Windows' own DLLs, the only ones a program of the zip may import (no MinGW
# runtime DLL beside it: the programs are linked statically).
system_dlls=" advapi32 comctl32 comdlg32 gdi32 imm32 kernel32 msimg32 msvcrt ntdll ole32 oleaut32
  shell32 shlwapi user32 uxtheme version winmm "
# pe_check FILE SUBSYSTEM: a PE32 image for i386 and the given subsystem
# ("Windows GUI", "Windows CUI") whose imports are all system DLLs.
pe_check() {
  local file=$1 subsystem=$2 name dump dlls d
  name=$(basename "$file")
  dump=$(i686-w64-mingw32-objdump -p "$file" 2>&1) || fail "$name: objdump cannot read it: $dump"
  grep -q 'file format pei-i386$' <<<"$dump" || fail "$name is not a PE image for i386"
  grep -qE '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)$' <<<"$dump" || fail "$name is not PE32"
  grep -qE "^Subsystem[[:space:]]+[0-9a-f]+[[:space:]]+\($subsystem\)\$" <<<"$dump" ||
    fail "$name is not a $subsystem program: $(grep '^Subsystem' <<<"$dump")"
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr '[:upper:]' '[:lower:]' | sort -u)
  [ -n "$dlls" ] || fail "$name imports no DLL at all (objdump -p listed none)"
  for d in $dlls; do
    [[ $system_dlls == *" ${d%.dll} "* ]] || fail "$name imports $d, which is not a Windows system DLL"
  done
  log "zip: $name is a PE32 i386 $subsystem program importing only system DLLs:" $dlls
}
pe_check "$zipdir/VantorICO.exe" "Windows GUI"
pe_check "$zipdir/vantorico.exe" "Windows CUI"

# The window tool's version resource carries the project's version, in four
# numbers, in its fixed information and its FileVersion/ProductVersion texts;
# it has an icon group; its window title, the one the Wine check below looks
# for, is in it as GBK text (the code page it shows under).
[ -n "$(wrestool -l --type=14 "$zipdir/VantorICO.exe")" ] || fail "VantorICO.exe has no icon group"
wrestool -x --raw --type=16 "$zipdir/VantorICO.exe" >"$scratch/version.res" ||
  fail "VantorICO.exe has no version resource"
python3 - "$scratch/version.res" "$zipdir/VantorICO.exe" "$version" 'VantorICO图标提取工具' <<'PY' ||
import os, struct, sys
res = open(sys.argv[1], "rb").read()
exe = open(sys.argv[2], "rb").read()
want = ".".join((sys.argv[3].split(".") + ["0", "0", "0"])[:4])
title = os.fsencode(sys.argv[4]).decode("utf-8")  # whatever the locale
problems = []
at = res.find(struct.pack("<I", 0xFEEF04BD))  # VS_FIXEDFILEINFO's signature
if at < 0:
    problems.append("no fixed version information")
else:
    for what, offset in (("file", 8), ("product", 16)):
        ms, ls = struct.unpack_from("<II", res, at + offset)
        got = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        if got != want:
            problems.append("fixed %s version %s" % (what, got))
for key in ("FileVersion", "ProductVersion"):
    k = (key + "\0").encode("utf-16-le")
    at = res.find(k)
    if at < 0:
        problems.append("no " + key)
        continue
    start = (at + len(k) + 3) & ~3  # the value starts on a 32-bit boundary
    end = start
    while end + 1 < len(res) and res[end:end + 2] != b"\0\0":
        end += 2
    got = res[start:end].decode("utf-16-le", "replace")
    if got != want:
        problems.append("%s %r" % (key, got))
if title.encode("gbk") not in exe:
    problems.append("no window title %r in GBK" % title)
if problems:
    print("[release] VantorICO.exe, wanted version %s: %s" % (want, "; ".join(problems)))
    sys.exit(1)
print("[release] zip: VantorICO.exe has the version resource %s (fixed information, "
      "FileVersion, ProductVersion), an icon group and its GBK window title" % want)
PY
  fail "VantorICO.exe's version resource or title is not as expected (above)"

# The window tool under Wine, only where this machine runs 32-bit code. (Where
# the kernel has no IA-32 emulation, qemu's user-mode i386 emulation was tried
# as a stand-in: Debian 12's qemu-user-static 7.2, registered through
# binfmt_misc, runs the 32-bit Wine loader's --version, but not a Wine prefix's
# start-up: wineboot crashes inside the emulator and Wine's services hang, with
# no prefix after 7 minutes. So such a machine skips this check; the file
# checks above still run.)
if wine_out=$(/usr/lib/wine/wine --version 2>&1); then
  log "Wine runs 32-bit code ($wine_out): starting VantorICO.exe from the zip"
  eval "$(scripts/wine-env.sh start)"
  trap 'scripts/wine-env.sh stop; rm -rf "$scratch"' EXIT
  wine "$zipdir/VantorICO.exe" >"$logs/wine-gui.log" 2>&1 &
  gui=$!
  shown=""
  for _ in $(seq 1 60); do
    if xdotool search --name 'VantorICO图标提取工具' >/dev/null 2>&1; then shown=1; break; fi
    sleep 0.5
  done
  kill "$gui" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [ -n "$shown" ] || fail "VantorICO.exe from the zip showed no window under Wine"
  log "zip: VantorICO.exe shows its window under Wine"
else
  log "SKIPPED: the window check of VantorICO.exe under Wine: this machine cannot run" \
    "32-bit code (/usr/lib/wine/wine --version: ${wine_out##*: }; the kernel's IA-32" \
    "emulation is off); the file checks of the zipped programs above passed"
fi

# --- the .deb ----------------------------------------------------------------
dpkg-deb --contents "$out/$deb" | tee "$logs/deb-contents.txt"
for f in ./usr/bin/vantorico ./usr/bin/vantorico-thumbnailer \
  ./usr/share/thumbnailers/vantorico.thumbnailer ./usr/share/doc/vantorico/copyright \
  ./usr/share/doc/vantorico/changelog.gz; do
  awk '{print $6}' "$logs/deb-contents.txt" | grep -qx "$f" || fail "$deb lacks $f"
done
dpkg-deb -x "$out/$deb" "$scratch/deb"
got=$("$scratch/deb/usr/bin/vantorico" --version)
[ "$got" = "vantorico $version" ] || fail "extracted vantorico --version says '$got', not 'vantorico $version'"
log "deb: contents as expected; extracted usr/bin/vantorico --version: $got"

# lintian: no error or warning but those explained in
# cmake/VantoricoPackaging.cmake. The CLI's manual page comes from cli/; while
# cli/ carries none, its absence is the one expected warning.
allowed=()
[ -f cli/vantorico.1 ] || allowed+=("W: vantorico: no-manual-page [usr/bin/vantorico]")
lintian --info --display-info --pedantic "$out/$deb" >"$logs/lintian.txt" 2>&1 || true
grep -E '^[EWIPX]: ' "$logs/lintian.txt" || true
bad=$(grep -E '^[EW]: ' "$logs/lintian.txt" | grep -vxF -f <(printf '%s\n' "${allowed[@]}" '') || true)
[ -z "$bad" ] || fail "lintian: $bad"
log "deb: lintian has no error or warning$( ((${#allowed[@]})) && echo " but: ${allowed[*]}")"

# --- reproducibility -------------------------------------------------------
# The same commit built again in other folders gives the same bytes.
build release "$repro/release" vantorico vantorico-thumbnailer
build release-win32 "$repro/release-win32" VantorICO vantorico
{
  for b in "${native_bins[@]}"; do
    printf '%s  %s\n' "$(sha256sum <"build/release/$b" | cut -d' ' -f1)" "$(basename "$b")"
  done
  for b in "${win_bins[@]}"; do
    printf '%s  %s\n' "$(sha256sum <"build/release-win32/$b" | cut -d' ' -f1)" "$(basename "$b")"
  done
} >"$out/SHA256SUMS.binaries"
differ=""
for b in "${native_bins[@]}"; do
  cmp -s "build/release/$b" "$repro/release/$b" || differ+=" $b(native)"
done
for b in "${win_bins[@]}"; do
  cmp -s "build/release-win32/$b" "$repro/release-win32/$b" || differ+=" $b(win32)"
done
[ -z "$differ" ] || fail "not reproducible, the second build differs in:$differ"
cat "$out/SHA256SUMS.binaries"
log "reproducible: both builds give byte-identical binaries (sha256 above, in $out/SHA256SUMS.binaries)"

# --- sizes -------------------------------------------------------------------
# check_size FILE LIMIT [THIN]: over LIMIT bytes fails; over THIN bytes (but
# within the limit) says plainly that the margin is thin, without failing.
check_size() {
  local file=$1 limit=$2 thin=${3:-$2} size
  size=$(stat -c %s "$file")
  ((size <= limit)) || fail "$(basename "$file") is $size bytes, over its limit of $limit bytes"
  if ((size > thin)); then
    log "size: THIN MARGIN: $(basename "$file") $size bytes, $((limit - size)) under its limit of $limit"
  else
    log "size: $(basename "$file") $size bytes ($((limit - size)) under its limit of $limit)"
  fi
}
# The window tool: at most 700 KB.
check_size "$zipdir/VantorICO.exe" $((700 * 1024))
# The console program: at most 400 KB, held under 400,000 bytes. It is about
# 366,000 bytes (link-time optimised, cmake/VantoricoRelease.cmake); a thin
# margin is said from 380,000 on. Heavy library pieces are what grow it:
# iostreams tripled it once, and std::to_wstring alone brings the C library's
# wide printf (12 KB).
check_size "$zipdir/vantorico.exe" 400000 380000
log "size: vantorico (Linux) $(stat -c %s "$scratch/deb/usr/bin/vantorico") bytes"

log "done in $((SECONDS - start)) s: $out/$zip, $out/$deb"
