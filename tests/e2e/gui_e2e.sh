#!/usr/bin/env bash
# The whole tool as a user meets it, driven from outside under Wine in Xvfb:
# a file dropped on the window by a real X drag, then Wine's shell32.dll picked
# in the system's open dialog, "提取图标" clicked, "提取完成" confirmed; the
# folder then holds exactly 1.ico..N.ico, byte-identical to what the
# command-line extractor writes. "最小到托盘" hides the window, a double-click
# on the tray icon brings it back, and "退出程序" from the tray menu ends the
# program with exit code 0 and takes the tray icon away.
#
# Usage (inside a Wine session): gui_e2e.sh VantorICO.exe window_probe.exe vantorico.exe
# VANTORICO_E2E_TIMING=FILE appends the click-to-"提取完成" time to FILE.
set -euo pipefail
exe=$1
probe=$2
cli=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/machine.sh
. "$here/../../scripts/machine.sh"
source_dll=$(wine_file shell32.dll) || { echo "e2e: no Wine shell32.dll" >&2; exit 1; }
# A real program file without icons.
no_icons_dll=$(wine_file lz32.dll) || { echo "e2e: no Wine lz32.dll" >&2; exit 1; }
title='VantorICO图标提取工具'

work=$(mktemp -d /tmp/vantorico_e2e.XXXXXX)
app_pid=
cleanup() {
  # The program is the only child of the subshell that started it.
  [ -n "$app_pid" ] && pkill -P "$app_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "e2e: $*" >&2
  import -window root "${VANTORICO_E2E_SHOT:-/tmp/vantorico_e2e_failure.png}" 2>/dev/null || true
  exit 1
}
step() { echo "e2e: $*"; }

# What the probe sees, in UTF-8: "kind visible enabled x y w h class text".
look() { wine "$probe" "$@" 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r'; }
control_line() { grep -F " $2" <<<"$1" | head -1; }
centre_of() {  # prints "x y" of the line's rectangle centre
  awk '{ printf "%d %d\n", $4 + $6 / 2, $5 + $7 / 2 }' <<<"$1"
}
click_at() { xdotool mousemove "$1" "$2" click "${3:-1}"; }
wait_for() {  # wait_for SECONDS COMMAND...: polls until COMMAND succeeds
  local limit=$1
  shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
window_visible() { [ "$(look "$title" | awk '$1 == "window" { print $2 }')" = "$1" ]; }
path_box() { look "$title" | awk '$8 == "Edit" { $1=$2=$3=$4=$5=$6=$7=$8=""; sub(/^ +/, ""); print }'; }
path_is() { [ "$(path_box)" = "$1" ]; }
gone() { ! wine "$probe" "$1" >/dev/null 2>&1; }

# The tray area of the virtual desktop's taskbar. The tool's icon is the one
# with the logo's yellow arrow; counting those pixels there tells whether it
# is shown, whatever other icons the taskbar holds.
read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
tray_x=$((screen_w - 11))
tray_y=$((screen_h - 11))
arrow_pixels() {
  import -window root -crop 240x24+$((screen_w - 240))+$((screen_h - 24)) +repage "$work/tray.png"
  convert "$work/tray.png" -fuzz 15% -fill white -opaque 'rgb(255,196,40)' -fill black \
    +opaque white -format '%[fx:round(mean*w*h)]' info:
}

mkdir -p "$work/app" "$work/拖放目录"
cp "$exe" "$work/app/VantorICO.exe"
# The program file without icons, under a Chinese name.
cp "$no_icons_dll" "$work/拖放目录/示例.dll"
(cd "$work/app" && wine VantorICO.exe >/dev/null 2>&1; echo $? >"$work/exit_code") &
app_pid=$!

step "waiting for the window"
wine "$probe" --wait "$title" 30 >/dev/null 2>&1 || fail "the window did not appear"
sleep 1
state=$(look "$title")
window_line=$(grep '^window' <<<"$state")
[ "$(awk '{ print $6 "x" $7 }' <<<"$window_line")" = "423x155" ] || fail "window size: $window_line"
extract_line=$(control_line "$state" "提取图标")
[ "$(awk '{ print $3 }' <<<"$extract_line")" = 0 ] || fail "提取图标 should start disabled"

step "dropping a file through an X drag"
# A point of the window's own client area that no control covers (Wine hands
# an X drop to the window right under the pointer).
read -r wx wy < <(awk '{ printf "%d %d\n", $4 + $6 / 2, $5 + $7 - 12 }' <<<"$window_line")
/usr/bin/python3 "$here/xdnd_drop.py" "$wx" "$wy" "$work/拖放目录/示例.dll" >/dev/null ||
  fail "the X drag was not taken"
dropped="Z:$(tr / '\\' <<<"$work")\\拖放目录\\示例.dll"
wait_for 10 path_is "$dropped" || fail "path box after the drop: '$(path_box)'"
extract_line=$(control_line "$(look "$title")" "提取图标")
[ "$(awk '{ print $3 }' <<<"$extract_line")" = 1 ] || fail "提取图标 not enabled after the drop"

step "extracting from a program without icons"
read -r ex ey < <(centre_of "$extract_line")
click_at "$ex" "$ey"
wine "$probe" --wait "信息：" 120 >/dev/null 2>&1 || fail "no box after extracting from a DLL without icons"
box=$(look "信息：")
grep -q "没有找到可以提取的图标" <<<"$box" || fail "the box for a DLL without icons says: $box"
grep -q "提取完成" <<<"$box" && fail "a DLL without icons is not done: $box"
ls "$work/app"/*.ico >/dev/null 2>&1 && fail "icon files were written for a DLL without icons"
xdotool key Return
wait_for 10 gone "信息：" || fail "the box did not close"

step "choosing shell32.dll in the open dialog"
read -r bx by < <(centre_of "$(control_line "$(look "$title")" "浏览文件")")
click_at "$bx" "$by"
wine "$probe" --wait "打开" 20 >/dev/null 2>&1 || fail "the open dialog did not appear"
sleep 1
wanted="Z:$(tr / '\\' <<<"$source_dll")"
xdotool type --delay 20 "$wanted"
xdotool key Return
wait_for 20 gone "打开" || fail "the dialog did not close"
got=$(path_box)
[ "${got,,}" = "${wanted,,}" ] || fail "path box after the dialog: '$got'"

# Clicks at X Y and prints the seconds until the result box exists. The
# probe is started and looking before the click, so its own start-up is not
# counted.
timed_click() {
  local fifo=$work/probe.fifo line start status
  rm -f "$fifo"
  mkfifo "$fifo"
  wine "$probe" --wait "信息：" 120 >"$fifo" 2>/dev/null &
  local pid=$!
  exec {probe_out}<"$fifo"
  read -r -u "$probe_out" line || true
  start=$(date +%s.%N)
  click_at "$1" "$2"
  read -r -u "$probe_out" line || true
  local end
  end=$(date +%s.%N)
  cat <&"$probe_out" >/dev/null
  exec {probe_out}<&-
  status=0
  wait "$pid" || status=$?
  rm -f "$fifo"
  [ "$status" -eq 0 ] || return 1
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

step "extracting"
read -r ex ey < <(centre_of "$(control_line "$(look "$title")" "提取图标")")
elapsed=$(timed_click "$ex" "$ey") || fail "no 提取完成 box"
box=$(look "信息：")
grep -q "提取完成" <<<"$box" || fail "the box says: $box"
step "click to 提取完成: ${elapsed} s"
xdotool key Return
wait_for 10 gone "信息：" || fail "the box did not close"
if [ -n "${VANTORICO_E2E_TIMING:-}" ]; then
  # The same click again, every output already there: files are replaced
  # whole, so the second click must cost about what the first did.
  again=$(timed_click "$ex" "$ey") || fail "no box after the second click"
  grep -q "提取完成" <<<"$(look "信息：")" || fail "the second box says: $(look "信息：")"
  xdotool key Return
  wait_for 10 gone "信息：" || fail "the box did not close"
  # The floor of timing from outside: "关于" opens its box at once, so its
  # time is the input's way through X and Wine and the box's own making.
  read -r ax ay < <(centre_of "$(control_line "$(look "$title")" "关于")")
  floor=$(timed_click "$ax" "$ay") || fail "no box after 关于"
  xdotool key Return
  wait_for 10 gone "信息：" || fail "the about box did not close"
  echo "$elapsed $again $floor" >>"$VANTORICO_E2E_TIMING"
fi

step "comparing with the command-line extractor"
mkdir -p "$work/reference"
wine "$cli" extract "$wanted" -o "Z:$(tr / '\\' <<<"$work/reference")" >/dev/null 2>&1 ||
  fail "vantorico extract failed"
expected=$(ls "$work/reference" | sort)
actual=$(cd "$work/app" && ls -- *.ico | sort)
[ "$expected" = "$actual" ] || fail "files differ: $(diff <(echo "$expected") <(echo "$actual") | head -5)"
count=$(wc -l <<<"$actual")
[ "$actual" = "$(seq "$count" | sed 's/$/.ico/' | sort)" ] && [ "$count" -ge 1 ] ||
  fail "the files are not 1.ico..N.ico"
for f in $actual; do cmp -s "$work/reference/$f" "$work/app/$f" || fail "$f differs"; done
step "$count icon files, byte-identical"

step "hiding to the tray and back"
read -r tx ty < <(centre_of "$(control_line "$(look "$title")" "最小到托盘")")
click_at "$tx" "$ty"
wait_for 5 window_visible 0 || fail "the window did not hide"
xdotool mousemove "$tray_x" "$tray_y" click --repeat 2 --delay 80 1
wait_for 5 window_visible 1 || fail "the tray double-click did not bring the window back"

step "quitting from the tray menu"
shown_arrow=$(arrow_pixels)
[ "$shown_arrow" -gt 0 ] || fail "the tray icon is not to be seen"
xdotool mousemove "$tray_x" "$tray_y" click 3
menu_visible() { wine "$probe" --class "#32768" >/dev/null 2>&1; }
wait_for 5 menu_visible || fail "no tray menu"
# Two entries of equal height: "打开程序" above "退出程序".
read -r mx my < <(look --class "#32768" | awk '{ printf "%d %d\n", $4 + $6 / 2, $5 + $7 * 3 / 4 }')
click_at "$mx" "$my"
wait_for 20 test -f "$work/exit_code" || fail "the program did not end"
app_pid=
code=$(cat "$work/exit_code")
[ "$code" = 0 ] || fail "exit code $code"
sleep 1
left_arrow=$(arrow_pixels)
[ "$left_arrow" -lt "$shown_arrow" ] || fail "the tray icon is still there"
step "closing a second start with its close box"
rm -f "$work/exit_code"
(cd "$work/app" && wine VantorICO.exe >/dev/null 2>&1; echo $? >"$work/exit_code") &
app_pid=$!
wine "$probe" --wait "$title" 30 >/dev/null 2>&1 || fail "the window did not appear again"
sleep 1
read -r cx cy < <(look "$title" | awk '$1 == "window" { printf "%d %d\n", $4 + $6 - 14, $5 + 11 }')
click_at "$cx" "$cy"
wait_for 20 test -f "$work/exit_code" || fail "the close box did not end the program"
app_pid=
[ "$(cat "$work/exit_code")" = 0 ] || fail "exit code after the close box: $(cat "$work/exit_code")"
echo "e2e: passed"
