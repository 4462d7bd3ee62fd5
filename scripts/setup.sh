#!/usr/bin/env bash
# Installs everything the project needs from Debian's packages and prepares the
# Wine prefix used to run and test the Windows build. Idempotent: a second run
# only checks.
#
#   scripts/setup.sh            packages + locale + Wine's files + Wine prefix
#   scripts/setup.sh packages   packages + locale + Wine's files
#
# 32-bit Wine (wine32:i386, and with it the i386 architecture) is installed
# only where this machine can run 32-bit x86 code: setup executes a tiny
# static i386 program and looks at what the kernel says. Where it cannot,
# the Windows tests run from the 64-bit build (scripts/wine-env.sh), and
# Wine's i386 program files, which the tests read as data, are unpacked from
# the libwine:i386 package into the project's cache without installing it.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/machine.sh
. "$here/machine.sh"

PKGS=(
  cmake ninja-build g++ googletest clang-format
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 fonts-wine fonts-wqy-microhei locales
  xvfb xdotool x11-utils x11-apps imagemagick python3 python3-xlib
  icoutils clang libclang-rt-14-dev libpng-dev zlib1g-dev shared-mime-info
  lintian unzip dpkg-dev
  libz-mingw-w64-dev libseccomp-dev tumbler dbus python3-gi gir1.2-gnomedesktop-3.0 bubblewrap
  python3-dask python3-distributed python3-icoextract python3-pil nettle-dev python3-pefile
)
PKGS_I386=(wine32:i386)
UPDATE_TRIES=3

log() { printf '[setup] %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

apt_log=${TMPDIR:-/tmp}/vantorico-apt.log

# apt-get update, tried a few times. When an index still fails, setup goes
# on if the packages it needs resolve from what apt has. Returns 1, with the
# failing index in UPDATE_FAILURE, when they do not.
UPDATE_FAILURE=
update_indexes() {
  local try
  if [ -z "$UPDATE_FAILURE" ]; then
    for ((try = 1; try <= UPDATE_TRIES; try++)); do
      if as_root apt-get update -q >"$apt_log" 2>&1; then return 0; fi
      ((try < UPDATE_TRIES)) && { log "apt-get update failed (try $try of $UPDATE_TRIES); again in $((try * 5)) s"; sleep $((try * 5)); }
    done
    UPDATE_FAILURE=$(grep -E '^(E|W): (Failed to fetch|.*unexpected size)' "$apt_log" | head -1 | sed 's/^[EW]: //')
    [ -n "$UPDATE_FAILURE" ] || UPDATE_FAILURE=$(grep -E '^E: ' "$apt_log" | head -1 | sed 's/^E: //')
    [ -n "$UPDATE_FAILURE" ] || UPDATE_FAILURE="see $apt_log"
  fi
  if as_root apt-get install --simulate -q --no-install-recommends "$@" >>"$apt_log" 2>&1; then
    log "apt-get update failed ($UPDATE_FAILURE); the packages needed resolve without that index, going on"
    return 0
  fi
  return 1
}

update_failed() {
  log "cannot install the packages: apt-get update fails on an index ($UPDATE_FAILURE) and they do not resolve without it; try again later or use a mirror that is in sync (details: $apt_log)"
  exit 1
}

missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || printf '%s\n' "$p"
  done
}

install_packages() {
  local pkgs=("${PKGS[@]}") added_i386=no
  if machine_runs_i386; then
    pkgs+=("${PKGS_I386[@]}")
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      log "adding the i386 architecture (32-bit Wine)"
      as_root dpkg --add-architecture i386
      added_i386=yes
    fi
  fi
  local missing=()
  mapfile -t missing < <(missing_of "${pkgs[@]}")
  if ((${#missing[@]})) && ! update_indexes "${missing[@]}"; then
    # 32-bit Wine is the one part that can be left out: the Windows tests
    # then run from the 64-bit build (scripts/wine-env.sh says so).
    mapfile -t missing < <(missing_of "${PKGS[@]}")
    if ! machine_runs_i386 || { ((${#missing[@]})) && ! update_indexes "${missing[@]}"; }; then
      update_failed
    fi
    log "32-bit Wine cannot be installed ($UPDATE_FAILURE): going on without it, the Windows tests from the win64 build"
    if [ "$added_i386" = yes ]; then
      # An architecture whose index fails would fail every later apt-get update.
      as_root dpkg --remove-architecture i386 2>/dev/null || true
    fi
  fi
  if ((${#missing[@]})); then
    log "installing ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
      "${missing[@]}" >"$apt_log" 2>&1 ||
      { log "apt-get install failed, see $apt_log"; tail -20 "$apt_log" >&2; exit 1; }
  fi
  # Code page 936 needs the zh_CN.UTF-8 locale to exist.
  if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    log "generating the zh_CN.UTF-8 locale"
    as_root sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen || true
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
      echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
  fi
}

# Wine's i386 PE files where the 32-bit package is not installed: the same
# version's libwine:i386, downloaded through a private apt state (the
# machine's architectures and indexes stay as they are) and unpacked.
fetch_wine_i386_files() {
  if [ -f "$WINE_SYSTEM_I386/shell32.dll" ]; then
    log "Wine's i386 program files: $WINE_SYSTEM_I386 (installed with 32-bit Wine)"
    return 0
  fi
  local dest=$WINE_CACHE_I386
  if [ -f "$dest/shell32.dll" ]; then
    log "Wine's i386 program files: $dest (unpacked from libwine:i386 before)"
    return 0
  fi
  local version state work
  version=$(dpkg-query -W -f='${Version}' libwine 2>/dev/null) ||
    { log "Wine's i386 program files: none (libwine is not installed)"; return 0; }
  state=$(vantorico_cache_dir)/apt-i386
  work=$(mktemp -d "$(vantorico_cache_dir)/wine-pe.XXXXXX")
  mkdir -p "$state/lists/partial" "$state/cache/archives/partial"
  local apt_i386=(-o APT::Architecture=i386 -o APT::Architectures::=i386
    -o Dir::State::Lists="$state/lists" -o Dir::Cache="$state/cache"
    -o Dir::State::status=/dev/null -o APT::Sandbox::User=root -q)
  # Other indexes of the machine's sources may fail here; only libwine's counts.
  apt-get "${apt_i386[@]}" update >"$state/update.log" 2>&1 || true
  if ! (cd "$work" && apt-get "${apt_i386[@]}" download "libwine:i386=$version" >"$state/download.log" 2>&1) ||
    ! dpkg-deb -x "$work"/libwine_*.deb "$work/root" 2>>"$state/download.log" ||
    [ ! -f "$work/root/usr/lib/i386-linux-gnu/wine/i386-windows/shell32.dll" ]; then
    rm -rf "$work"
    log "Wine's i386 program files: not available (libwine:i386 $version could not be fetched, see $state/download.log); tests read the x86_64 ones only"
    return 0
  fi
  mkdir -p "$(dirname "$dest")"
  rm -rf "$dest"
  mv "$work/root/usr/lib/i386-linux-gnu/wine/i386-windows" "$dest"
  rm -rf "$work"
  log "Wine's i386 program files: unpacked libwine:i386 $version into $dest (not installed)"
}

if machine_runs_i386; then
  log "32-bit x86 code runs here: 32-bit Wine is installed for the Windows tests of the win32 build"
else
  log "32-bit x86 code does not run here ($MACHINE_I386_REASON): no i386 architecture, the Windows tests from the win64 build"
fi
install_packages
fetch_wine_i386_files
if [ "${1:-}" != packages ]; then
  "$here/wine-env.sh" prepare
fi
log "ready"
