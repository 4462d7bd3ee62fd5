#!/usr/bin/env bash
# Sets up the machine, builds the Windows program and starts it under Wine.
# With a display it opens there; without one it runs in Xvfb, saves a
# screenshot and says where, then ends the program.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

scripts/setup.sh
# The 32-bit program, or its 64-bit build where 32-bit code cannot run here.
preset=$(scripts/wine-env.sh arch)
preset=${preset%%:*}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target VantorICO -j "${VANTORICO_JOBS:-2}"
exe="$root/build/$preset/app/VantorICO.exe"

if [ -n "${DISPLAY:-}" ] && [ -z "${VANTORICO_HEADLESS:-}" ]; then
  export VANTORICO_USE_DISPLAY=1
  eval "$(scripts/wine-env.sh start)"
  trap 'scripts/wine-env.sh stop' EXIT
  wine "$exe"
  exit $?
fi

eval "$(scripts/wine-env.sh start)"
trap 'scripts/wine-env.sh stop' EXIT
shot="$root/build/screenshot.png"
wine "$exe" &
pid=$!
sleep "${VANTORICO_SHOT_DELAY:-5}"
import -window root "$shot"
echo "[run] no display: the program ran in Xvfb; screenshot saved to $shot"
kill "$pid" 2>/dev/null || true
