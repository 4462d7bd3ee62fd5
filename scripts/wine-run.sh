#!/usr/bin/env bash
# Runs a Windows program of the win32 (or win64) build under Wine; ctest uses
# it as the emulator. It needs a session: eval "$(scripts/wine-env.sh start)",
# whose "wine" is the loader of its prefix's kind.
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo 'wine-run.sh: no Wine session; run: eval "$(scripts/wine-env.sh start)"' >&2
  exit 125
fi
exec wine "$@"
