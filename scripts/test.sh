#!/usr/bin/env bash
# Sets up the machine, builds both configurations and runs every test: the
# native suite directly, the Windows suite under Wine in Xvfb. Ends with the
# ctest summary line of each configuration.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${VANTORICO_JOBS:-2}

scripts/setup.sh

log_dir=build/test-logs
mkdir -p "$log_dir"

build() {
  local preset=$1
  cmake --preset "$preset" >"$log_dir/configure-$preset.log" 2>&1 ||
    { cat "$log_dir/configure-$preset.log"; exit 1; }
  cmake --build --preset "$preset" -j "$jobs" >"$log_dir/build-$preset.log" 2>&1 ||
    { tail -60 "$log_dir/build-$preset.log"; exit 1; }
  echo "[test] built $preset"
}

# Runs one configuration's tests; keeps the summary line for the end.
status=0
summaries=()
run_ctest() {
  local preset=$1
  shift
  local log="$log_dir/ctest-$preset.log" rc=0
  ctest --preset "$preset" "$@" >"$log" 2>&1 || rc=$?
  grep -E '\*\*\*(Failed|Timeout|Exception)' "$log" || true
  summaries+=("$preset: $(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" || echo 'no summary')")
  if ((rc != 0)); then
    status=1
    sed -n '/The following tests FAILED/,$p' "$log"
  fi
}

build native
run_ctest native -j "$jobs"

# The native suite again with AddressSanitizer and UndefinedBehaviorSanitizer.
build asan
run_ctest asan -j "$jobs"

build win32
eval "$(scripts/wine-env.sh start)"
trap 'scripts/wine-env.sh stop' EXIT
run_ctest win32

echo "[test] logs in $log_dir"
for s in "${summaries[@]}"; do
  # ctest's own summary line, last, once per configuration
  echo "[test] ${s%%: *}"
  echo "${s#*: }"
done
# Last: the release artefacts built and checked (reuses build/release*).
scripts/release.sh --check || status=1
exit "$status"
