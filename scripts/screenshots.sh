#!/usr/bin/env bash
# Takes the README's screenshots of the real program under Wine in Xvfb:
# the main window (extract button still disabled, one button hot), the usage
# box, the window after a drop, and the finished extraction.
# Usage: scripts/screenshots.sh [OUT_DIR]   (default docs/screenshots; needs the
# Windows build this machine's Wine runs: build/win32, or build/win64 where
# 32-bit code cannot run, see scripts/wine-env.sh arch)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/machine.sh
. "$root/scripts/machine.sh"
out=${1:-$root/docs/screenshots}
arch=$("$root/scripts/wine-env.sh" arch | cut -d: -f1)
exe=$root/build/$arch/app/VantorICO.exe
probe=$root/build/$arch/tests/e2e/window_probe.exe
title='VantorICO图标提取工具'
mkdir -p "$out"
eval "$("$root/scripts/wine-env.sh" start)"
work=$(mktemp -d /tmp/vantorico_shots.XXXXXX)
pid=
trap '[ -n "$pid" ] && pkill -P "$pid"; rm -rf "$work"; "$root/scripts/wine-env.sh" stop' EXIT
cp "$exe" "$work/"
(cd "$work" && wine VantorICO.exe >/dev/null 2>&1) &
pid=$!
wine "$probe" --wait "$title" 30 >/dev/null
sleep 1
look() { wine "$probe" "$@" 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r'; }
rect() { look "$title" | grep -F " $1" | head -1 | awk '{ print $4, $5, $6, $7 }'; }
read -r x y w h < <(look "$title" | awk '$1 == "window" { print $4, $5, $6, $7 }')
shot() {  # shot NAME [X Y W H]: the window, or the given area
  local cx=${2:-$x} cy=${3:-$y} cw=${4:-$w} ch=${5:-$h}
  import -window root -crop "${cw}x${ch}+${cx}+${cy}" +repage "$out/$1.png"
}

xdotool mousemove 5 5
sleep 0.5
shot main-window
read -r bx by bw bh < <(rect "关于")
xdotool mousemove $((bx + bw / 2)) $((by + bh / 2))
sleep 0.5
shot main-window-hot
read -r bx by bw bh < <(rect "使用说明")
xdotool mousemove $((bx + bw / 2)) $((by + bh / 2)) click 1
wine "$probe" --wait "信息：" 10 >/dev/null
sleep 0.5
read -r mx my mw mh < <(look "信息：" | awk '$1 == "window" { print $4, $5, $6, $7 }')
shot usage-box "$mx" "$my" "$mw" "$mh"
xdotool key Return
sleep 0.5
# A real X drop of Wine's shell32.dll, then the extraction.
/usr/bin/python3 "$root/tests/e2e/xdnd_drop.py" $((x + w / 2)) $((y + h - 12)) \
  "$(wine_file shell32.dll)" >/dev/null
sleep 1
xdotool mousemove 5 5
sleep 0.5
shot after-drop
read -r bx by bw bh < <(rect "提取图标")
xdotool mousemove $((bx + bw / 2)) $((by + bh / 2)) click 1
wine "$probe" --wait "信息：" 60 >/dev/null
sleep 0.5
read -r mx my mw mh < <(look "信息：" | awk '$1 == "window" { print $4, $5, $6, $7 }')
# The window and the box together.
left=$((mx < x ? mx : x))
top=$((my < y ? my : y))
right=$((mx + mw > x + w ? mx + mw : x + w))
bottom=$((my + mh > y + h ? my + mh : y + h))
shot extraction-done "$left" "$top" $((right - left)) $((bottom - top))
xdotool key Return
echo "screenshots in $out"
