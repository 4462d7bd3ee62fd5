#!/usr/bin/env bash
# The Wine side of the project: a prefix with ANSI code page 936, a CJK font
# that answers to "宋体", no crash dialogs, and Wine's virtual desktop (it has
# a taskbar with a tray and avoids Wine's 2-second waits on hiding windows when
# no window manager runs), inside Xvfb.
#
#   scripts/wine-env.sh arch             which Windows build the tests run here, and why
#   scripts/wine-env.sh prepare          create the prefix once (reused later)
#   eval "$(scripts/wine-env.sh start)"  Xvfb + persistent wineserver; prints exports
#   scripts/wine-env.sh stop             ends what 'start' started (uses the exports)
#
# The prefix is 32-bit (WINEARCH=win32, for the win32 build) where the machine
# runs 32-bit x86 code. Where it cannot (a kernel without IA-32 emulation), it
# is 64-bit (WINEARCH=win64, for the win64 build) and "wine" is the 64-bit
# loader. VANTORICO_WINE_ARCH=win32|win64 chooses instead of detecting.
#
# VANTORICO_WINE_DIR (default ~/.cache/vantorico) holds the prefixes and logs;
# VANTORICO_WINEPREFIX overrides the prefix, so parallel jobs can each have one.
set -euo pipefail

PREFIX_VERSION=1
CJK_FONT="WenQuanYi Micro Hei"
DESKTOP_SIZE=${VANTORICO_DESKTOP_SIZE:-1024x768}
WINE32_LOADER=/usr/lib/wine/wine
WINE64_LOADER=/usr/lib/wine/wine64
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/machine.sh
. "$here/machine.sh"
dir=${VANTORICO_WINE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vantorico}
mkdir -p "$dir"

# Sets ARCH (win32 or win64) and ARCH_REASON.
detect_arch() {
  if [ -n "${VANTORICO_WINE_ARCH:-}" ]; then
    case $VANTORICO_WINE_ARCH in
      win32 | win64) ARCH=$VANTORICO_WINE_ARCH ARCH_REASON="chosen by VANTORICO_WINE_ARCH" ;;
      *) printf '[wine-env] VANTORICO_WINE_ARCH must be win32 or win64\n' >&2; exit 2 ;;
    esac
    return 0
  fi
  local out
  if ! machine_runs_i386; then
    ARCH=win64 ARCH_REASON="this machine cannot run 32-bit x86 code ($MACHINE_I386_REASON)"
  elif out=$("$WINE32_LOADER" --version 2>&1); then
    ARCH=win32 ARCH_REASON="the 32-bit Wine loader runs here ($out)"
  elif [ -e "$WINE32_LOADER" ]; then
    ARCH=win64 ARCH_REASON="the 32-bit Wine loader does not start ($WINE32_LOADER: ${out##*: })"
  else
    ARCH=win64 ARCH_REASON="32-bit x86 code runs here, but 32-bit Wine is not installed ($WINE32_LOADER; scripts/setup.sh installs it when its packages resolve)"
  fi
}
detect_arch
if [ "$ARCH" = win32 ]; then
  prefix=${VANTORICO_WINEPREFIX:-$dir/wine}
else
  prefix=${VANTORICO_WINEPREFIX:-$dir/wine64}
  # Every "wine" below and in the session is the 64-bit loader.
  export PATH="$here/win64-path:$PATH" WINELOADER=$WINE64_LOADER
fi

log() { printf '[wine-env] %s\n' "$*" >&2; }

wine_exports() {
  cat <<EOV
export WINEPREFIX='$prefix' WINEARCH=$ARCH WINEDEBUG=-all VANTORICO_WINE_ARCH=$ARCH
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES='mscoree,mshtml='
EOV
  if [ "$ARCH" = win64 ]; then
    echo "export PATH='$here/win64-path':\"\$PATH\" WINELOADER='$WINE64_LOADER'"
  fi
}

# Starts Xvfb on a free display; prints the display number.
start_xvfb() {
  local fifo dpy
  fifo=$(mktemp -u "$dir/dpy.XXXXXX")
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${DESKTOP_SIZE}x24" -nolisten tcp 3>"$fifo" 9>&- >"$dir/xvfb.log" 2>&1 &
  XVFB_PID=$!
  read -r -t 15 dpy <"$fifo" || true
  rm -f "$fifo"
  [ -n "${dpy:-}" ] || { log "Xvfb did not start, see $dir/xvfb.log"; exit 1; }
  DPY=":$dpy"
}

write_registry() {
  local f
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for f in 宋体 SimSun 新宋体 NSimSun 黑体 SimHei 微软雅黑 "Microsoft YaHei"; do
      printf '"%s"="%s"\r\n' "$f" "$CJK_FONT"
    done
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n'
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\r\n"Audio"=""\r\n'
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="shell"\r\n'
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"shell"="%s"\r\n' "$DESKTOP_SIZE"
  } | { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$prefix/drive_c/vantorico.reg"
  wine regedit /S 'C:\vantorico.reg'
}

prepare() {
  local mark="$prefix/.vantorico-prefix"
  if [ -f "$mark" ] && [ "$(cat "$mark")" = "v$PREFIX_VERSION" ]; then return 0; fi
  log "creating the $ARCH Wine prefix $prefix (about 15 s, once)"
  eval "$(wine_exports)"
  local own_x=0
  if [ -z "${DISPLAY:-}" ]; then start_xvfb; export DISPLAY=$DPY; own_x=1; fi
  wineserver -k 2>/dev/null || true
  # (A 64-bit prefix's wineboot also reports that it cannot start the 32-bit
  # rundll32.exe where 32-bit code does not run; that part stays unused.)
  if ! wine wineboot -i >"$dir/wineboot-$ARCH.log" 2>&1; then
    log "wineboot failed, see $dir/wineboot-$ARCH.log"
    ((own_x)) && kill "$XVFB_PID" 2>/dev/null
    exit 1
  fi
  wineserver -w
  # Debian's fonts-wine files are seen only from C:\windows\Fonts.
  cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  write_registry
  wineserver -w
  ((own_x)) && kill "$XVFB_PID" 2>/dev/null || true
  echo "v$PREFIX_VERSION" >"$mark"
  log "prefix ready"
}

# Sessions on one prefix are shared: a second 'start' while one runs gets the
# same display and server (a prefix has one server and one desktop), and the
# last 'stop' ends them.
session_file="$prefix.session"

start() {
  prepare
  eval "$(wine_exports)"
  exec 9>"$session_file.lock"
  flock -w 60 9 || log "the session lock is held elsewhere; going on without it"
  if [ -f "$session_file" ]; then
    # shellcheck disable=SC1090
    . "$session_file"
    if [ -z "$SESSION_XVFB_PID" ] || kill -0 "$SESSION_XVFB_PID" 2>/dev/null; then
      echo "SESSION_USERS=$((SESSION_USERS + 1)) SESSION_DISPLAY='$SESSION_DISPLAY' SESSION_XVFB_PID='$SESSION_XVFB_PID'" >"$session_file"
      wine_exports
      echo "export DISPLAY='$SESSION_DISPLAY' VANTORICO_XVFB_PID='$SESSION_XVFB_PID'"
      log "joined the running session on $SESSION_DISPLAY"
      return 0
    fi
  fi
  if [ -n "${VANTORICO_USE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
    DPY=$DISPLAY
    XVFB_PID=
  else
    start_xvfb
  fi
  export DISPLAY=$DPY
  # A persistent server makes each later wine process start in ~0.1 s. It can
  # only be made persistent when none runs for the prefix.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  # Long-lived children must not inherit the session lock (fd 9).
  wineserver -p 9>&-
  # Bring up the desktop and services once, outside any timed test.
  wine cmd /c exit >/dev/null 2>&1 9>&- || true
  echo "SESSION_USERS=1 SESSION_DISPLAY='$DPY' SESSION_XVFB_PID='$XVFB_PID'" >"$session_file"
  wine_exports
  echo "export DISPLAY='$DPY' VANTORICO_XVFB_PID='${XVFB_PID}'"
  log "session on $DPY (prefix $prefix)"
}

stop() {
  exec 9>"$session_file.lock"
  flock -w 60 9 || log "the session lock is held elsewhere; going on without it"
  local users=1
  if [ -f "$session_file" ]; then
    # shellcheck disable=SC1090
    . "$session_file"
    users=$SESSION_USERS
  fi
  if ((users > 1)); then
    echo "SESSION_USERS=$((users - 1)) SESSION_DISPLAY='$SESSION_DISPLAY' SESSION_XVFB_PID='$SESSION_XVFB_PID'" >"$session_file"
    return 0
  fi
  rm -f "$session_file"
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  if [ -n "${VANTORICO_XVFB_PID:-}" ]; then kill "$VANTORICO_XVFB_PID" 2>/dev/null || true; fi
  if [ -n "${SESSION_XVFB_PID:-}" ]; then kill "$SESSION_XVFB_PID" 2>/dev/null || true; fi
}

case ${1:-} in
  arch) echo "$ARCH: $ARCH_REASON" ;;
  prepare) prepare ;;
  start) start ;;
  stop) stop ;;
  *) sed -n '2,/^set -e/p' "$0" | grep '^#' | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
esac
