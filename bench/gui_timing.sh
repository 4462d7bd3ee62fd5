#!/usr/bin/env bash
# Times the tool as a user sees it: from the click on "提取图标" to the
# "提取完成" box, with Wine's shell32.dll chosen, under Wine in Xvfb. It runs the
# end-to-end script RUNS times (default 3) and prints each time and the median.
# Usage: bench/gui_timing.sh [BUILD_DIR]   (default build/win32)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/win32}
runs=${RUNS:-3}
eval "$("$root/scripts/wine-env.sh" start)"
trap '"$root/scripts/wine-env.sh" stop' EXIT
times=$(mktemp)
for _ in $(seq "$runs"); do
  VANTORICO_E2E_TIMING=$times "$root/tests/e2e/gui_e2e.sh" "$build/app/VantorICO.exe" \
    "$build/tests/e2e/window_probe.exe" "$build/cli/vantorico.exe" >/dev/null
done
echo "click to 提取完成 (s): $(tr '\n' ' ' <"$times")"
echo "median: $(sort -n "$times" | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }') s"
rm -f "$times"
