#!/usr/bin/env bash
# Times the tool as a user sees it: from the click on "提取图标" to the
# "提取完成" box, with Wine's shell32.dll chosen, under Wine in Xvfb. It runs the
# end-to-end script RUNS times (default 9) and prints each time and the median.
# The second click on the same file (the outputs already there) is timed too.
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
first=$(cut -d' ' -f1 "$times" | median)
second=$(cut -d' ' -f2 "$times" | median)
echo "median: first $first s, second $second s, second/first $(awk -v a="$second" -v b="$first" 'BEGIN { printf "%.2f", a / b }')"
rm -f "$times"
