#!/usr/bin/env bash
# Sets up the machine, builds every configuration and runs every test: the
# native suite directly, the Windows suite under Wine in Xvfb. Ends with the
# ctest summary line of each configuration.
#
# The Windows suite runs from the win32 build under 32-bit Wine. On a machine
# that cannot run 32-bit x86 code (a kernel without IA-32 emulation), the win32
# build is still built, and the suite runs from the win64 build (the same
# sources for 64-bit Windows) under 64-bit Wine; scripts/wine-env.sh decides.
#
# A test whose input is missing skips on a developer's machine and is listed
# at the end with its reason; under CI=true, where setup provides every
# input, it fails, and so does any test that did not run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${VANTORICO_JOBS:-2}

scripts/setup.sh

log_dir=build/test-logs
mkdir -p "$log_dir"
rm -f "$log_dir"/junit-*.xml

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
  ctest --preset "$preset" --output-junit "$root/$log_dir/junit-$preset.xml" "$@" >"$log" 2>&1 || rc=$?
  if grep -E '\*\*\*(Failed|Timeout|Exception)' "$log"; then
    # What each failing test printed (the presets keep it), so that a failure
    # seen only in CI can be read from CI's output.
    awk '/\*\*\*(Failed|Timeout|Exception)/ { show = 1; n = 0 }
         /^ +Start +[0-9]+:/ || /tests passed, [0-9]+ tests failed out of/ { show = 0 }
         show && n++ < 150 { print "  | " $0 }' "$log"
  fi
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

# The shipped 32-bit products always build, warnings and all.
build win32

windows_path=$(scripts/wine-env.sh arch)
windows_preset=${windows_path%%:*}
windows_line="Windows tests: the $windows_preset build under ${windows_preset/win/}-bit Wine, because ${windows_path#*: }"
echo "[test] $windows_line"
if [ "$windows_preset" != win32 ]; then
  build "$windows_preset"
fi
eval "$(VANTORICO_WINE_ARCH=$windows_preset scripts/wine-env.sh start)"
trap 'scripts/wine-env.sh stop' EXIT
# A Windows test that fails is run once more: now and then a test process
# under Wine ends at its start with nothing said (its X11 and desktop
# processes are shared with every test before it). What failed first is
# printed above and named here, so it is seen; a real fault fails twice.
run_ctest "$windows_preset" --repeat until-pass:2
retried=$(awk '/\*\*\*(Failed|Timeout|Exception)/ { sub(/^.*Test +#[0-9]+: /, ""); sub(/ \.+.*$/, ""); print }' \
  "$log_dir/ctest-$windows_preset.log" | sort -u)
if [ -n "$retried" ] && ((status == 0)); then
  echo "[test] passed on a second run under Wine (first run above):"
  printf '  %s\n' $retried
fi

echo "[test] logs in $log_dir"
echo "[test] $windows_line"
for s in "${summaries[@]}"; do
  # ctest's own summary line, last, once per configuration
  echo "[test] ${s%%: *}"
  echo "${s#*: }"
done
if skipped=$(scripts/skipped-tests.py "$log_dir"/junit-*.xml); then
  echo "[test] no test was skipped"
else
  echo "[test] tests that did not run, and why:"
  printf '%s\n' "$skipped"
  if [ "${CI:-}" = true ]; then
    echo "[test] in CI every test must run"
    status=1
  fi
fi
# Last: the release artefacts built and checked (reuses build/release*).
scripts/release.sh --check || status=1
exit "$status"
