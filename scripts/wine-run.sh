#!/usr/bin/env bash
# Runs a Windows program of the win32 (or win64) build under Wine; ctest uses
# it as the emulator. It needs a session: eval "$(scripts/wine-env.sh start)",
# whose "wine" is the loader of its prefix's kind.
#
# Wine now and then fails to start a process at all (it ends within a few
# hundredths of a second, before the program's first line). A program that
# ends in failure without having written a byte to its standard output is run
# once more, and says so; the test programs all print a line first thing, so
# a failure of the program itself is never hidden.
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo 'wine-run.sh: no Wine session; run: eval "$(scripts/wine-env.sh start)"' >&2
  exit 125
fi
out=$(mktemp) || exit 125
trap 'rm -f "$out"' EXIT
for attempt in 1 2; do
  # Both streams pass through as they come (a test killed for its time limit
  # still shows what it printed); the standard output is also kept.
  wine "$@" | tee "$out"
  rc=${PIPESTATUS[0]}
  if ((rc == 0)) || [ -s "$out" ] || ((attempt == 2)); then break; fi
  echo "wine-run.sh: $1 ended with status $rc before it wrote anything; Wine did not start it, trying once more" >&2
done
exit "$rc"
