#!/usr/bin/env bash
# A true drop from the X side: the probe window registers the drop target, an
# XDND source drops one file and then three on it, and the probe's
# FilesDropped texts must be the Windows paths (one alone; three each ended by
# CR LF). Needs the Wine session's DISPLAY. Usage: xdnd_drop_test.sh PROBE.exe
set -euo pipefail
probe=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/vantorico_xdnd.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/中文目录"
for f in one.exe "中文目录/甲.exe" "中文目录/乙 文件.dll"; do : >"$work/$f"; done

out=$work/probe.out
wine "$probe" 2 >"$out" 2>/dev/null &
pid=$!
for _ in $(seq 100); do grep -q '^ready' "$out" 2>/dev/null && break; sleep 0.1; done
read -r _ x y < <(grep '^ready' "$out")
/usr/bin/python3 "$here/xdnd_drop.py" "$x" "$y" "$work/one.exe"
sleep 0.5
/usr/bin/python3 "$here/xdnd_drop.py" "$x" "$y" "$work/one.exe" "$work/中文目录/甲.exe" \
  "$work/中文目录/乙 文件.dll"
wait "$pid"

# The probe prints GBK with CR LF line ends; Wine shows Unix paths under drive Z:.
dos=$(printf 'Z:%s' "$work" | tr / '\\')
got=$(iconv -f GBK -t UTF-8 "$out" | tr -d '\r' | grep '^FilesDropped')
want="FilesDropped $dos\\one.exe
FilesDropped $dos\\one.exe\\r\\n$dos\\中文目录\\甲.exe\\r\\n$dos\\中文目录\\乙 文件.dll\\r\\n"
if [ "$got" != "$want" ]; then
  printf 'expected:\n%s\ngot:\n%s\n' "$want" "$got" >&2
  exit 1
fi
echo "two X-side drops delivered"
