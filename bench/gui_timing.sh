#!/usr/bin/env bash
# Times the tool as a user sees it: from the click on "提取图标" to the
# "提取完成" box, with Wine's shell32.dll chosen, under Wine in Xvfb. It runs the
# end-to-end script RUNS times (default 9) and prints each time and the median.
# The second click on the same file (the outputs already there) is timed too,
# and a click on "关于", whose box comes at once: the floor of this way of
# timing.
# Seen from outside, each figure includes the start of a Wine process (the
# probe) and its polling; bench/click_timing_win.cpp then times the same click
# in process, where only the tool's own work counts.
# Usage: bench/gui_timing.sh [BUILD_DIR]   (default build/win32, or build/win64
# where this machine cannot run 32-bit code: see scripts/wine-env.sh arch)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arch=$("$root/scripts/wine-env.sh" arch | cut -d: -f1)
build=${1:-$root/build/$arch}
runs=${RUNS:-9}
eval "$("$root/scripts/wine-env.sh" start)"
trap '"$root/scripts/wine-env.sh" stop' EXIT
times=$(mktemp)
for _ in $(seq "$runs"); do
  VANTORICO_E2E_TIMING=$times "$root/tests/e2e/gui_e2e.sh" "$build/app/VantorICO.exe" \
    "$build/tests/e2e/window_probe.exe" "$build/cli/vantorico.exe" >/dev/null
done
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
echo "build: $build"
echo "first click to 提取完成 (s): $(cut -d' ' -f1 "$times" | tr '\n' ' ')"
echo "second click (s):           $(cut -d' ' -f2 "$times" | tr '\n' ' ')"
echo "关于 (the floor) (s):       $(cut -d' ' -f3 "$times" | tr '\n' ' ')"
first=$(cut -d' ' -f1 "$times" | median)
second=$(cut -d' ' -f2 "$times" | median)
floor=$(cut -d' ' -f3 "$times" | median)
echo "median: first $first s, second $second s, second/first $(awk -v a="$second" -v b="$first" 'BEGIN { printf "%.2f", a / b }'), floor $floor s"
rm -f "$times"

# shellcheck source=scripts/machine.sh
. "$root/scripts/machine.sh"
source='C:\windows\system32\shell32.dll'
shell32=$(wine_file shell32.dll) && source="Z:$(tr / '\\' <<<"$shell32")"
echo
echo "in process (click_timing):"
wine "$build/bench/click_timing.exe" "$source" "$runs" 2>/dev/null | tr -d '\r'

