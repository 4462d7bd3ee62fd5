#!/usr/bin/env bash
# Installs everything the project needs from Debian's packages and prepares the
# Wine prefix used to run and test the Windows build. Idempotent: a second run
# only checks.
#
#   scripts/setup.sh            packages + locale + Wine prefix
#   scripts/setup.sh packages   packages + locale only
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

PKGS=(
  cmake ninja-build g++ googletest clang-format
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-wine fonts-wqy-microhei locales
  xvfb xdotool x11-utils x11-apps imagemagick python3 python3-xlib
  icoutils clang libclang-rt-14-dev libpng-dev zlib1g-dev shared-mime-info
  lintian unzip dpkg-dev
)

log() { printf '[setup] %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
  local updated=0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture"
    as_root dpkg --add-architecture i386
    as_root apt-get update -q >/dev/null
    updated=1
  fi
  local missing=() p
  for p in "${PKGS[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    if ((updated == 0)); then as_root apt-get update -q >/dev/null; fi
    log "installing ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
      "${missing[@]}" >/tmp/vantorico-apt.log 2>&1 ||
      { log "apt-get failed, see /tmp/vantorico-apt.log"; tail -20 /tmp/vantorico-apt.log >&2; exit 1; }
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

install_packages
if [ "${1:-}" != packages ]; then
  "$here/wine-env.sh" prepare
fi
log "ready"
