#!/usr/bin/env bash
# Two or more builds side by side on one batch: `vantorico extract -r` of
# Wine's x86_64 folder into a fresh folder, with -j 1 and -j 2, each build
# and -j in turn for ROUNDS rounds (default 15), so that a machine whose
# speed drifts moves every figure alike; prints each one's median wall time.
#
#   bench/compare_builds.sh BUILD_DIR...
#
# OUT_PARENT: where outputs go (default /dev/shm); ARGS: options instead of
# -r, and SOURCE: a file or folder instead of Wine's folder, as in
# ARGS="--format png --size 48" SOURCE=.../shell32.dll.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=${ROUNDS:-15}
parent=${OUT_PARENT:-/dev/shm}
[ $# -ge 1 ] || { echo "usage: bench/compare_builds.sh BUILD_DIR..." >&2; exit 2; }
for build in "$@"; do
  [ -x "$build/cli/vantorico" ] || { echo "compare_builds.sh: $build/cli/vantorico not built" >&2; exit 2; }
done
# shellcheck source=scripts/machine.sh
. "$root/scripts/machine.sh"
dir=$(wine_pe_dir x86_64) || { echo "compare_builds.sh: Wine's x86_64 folder missing" >&2; exit 2; }
source=${SOURCE:-$dir}
read -r -a args <<<"${ARGS:--r}"
out=$(mktemp -d "$parent/compare.XXXXXX")
trap 'rm -rf "$out"' EXIT

declare -A times
for ((r = 0; r < rounds; r++)); do
  for build in "$@"; do
    for j in 1 2; do
      rm -rf "$out/o"
      start=$EPOCHREALTIME
      "$build/cli/vantorico" extract "${args[@]}" -j "$j" "$source" -o "$out/o" >/dev/null 2>&1 || true
      times[$build,$j]+="$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", (b - a) * 1000 }') "
    done
  done
done
median() { tr ' ' '\n' | sed '/^$/d' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
echo "## extract ${args[*]} $source -o $parent/..., $rounds rounds, medians"
printf '| build | -j 1 | -j 2 | -j 2 / -j 1 |\n|---|---|---|---|\n'
for build in "$@"; do
  one=$(median <<<"${times[$build,1]}")
  two=$(median <<<"${times[$build,2]}")
  printf '| %s | %s ms | %s ms | %s |\n' "$build" "$one" "$two" \
    "$(awk -v a="$one" -v b="$two" 'BEGIN { printf "%.2fx", a / b }')"
done
