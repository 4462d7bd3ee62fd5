#!/usr/bin/env bash
# What this machine's cores give to two runs that share nothing: each
# command alone with -j 1, then two at once, one on Wine's file and one on a
# copy of it (so that they share no page of the page cache), medians of
# RUNS (default 9). The speed-up is what two runs get for their two: the
# most -j 2 of one run can hope for where its work splits perfectly.
#
#   bench/two_runs.sh [BUILD_DIR]     (default build/native; needs vantorico)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build/native}
runs=${RUNS:-9}
cli=$build/cli/vantorico
[ -x "$cli" ] || { echo "two_runs.sh: $cli not built" >&2; exit 2; }
# shellcheck source=scripts/machine.sh
. "$root/scripts/machine.sh"
dir=$(wine_pe_dir x86_64) || { echo "two_runs.sh: Wine's x86_64 folder missing" >&2; exit 2; }
tmp=$(mktemp -d)
out=$(mktemp -d "${OUT_PARENT:-/dev/shm}/two_runs.XXXXXX")
trap 'rm -rf "$tmp" "$out"' EXIT
cp -r "$dir" "$tmp/copy"
cat "$tmp/copy"/* >/dev/null

median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }

# Median wall time in ms of the commands started together; {dir} and
# {copy} in them stand for the folder and its copy, {o1} and {o2} for fresh
# folders.
together() {
  local times=() start c
  for ((k = 0; k < runs; k++)); do
    rm -rf "$out"/o1 "$out"/o2
    start=$EPOCHREALTIME
    for c in "$@"; do
      c=${c//\{dir\}/$dir} c=${c//\{copy\}/$tmp/copy} c=${c//\{o1\}/$out/o1} c=${c//\{o2\}/$out/o2}
      # shellcheck disable=SC2086
      "$cli" $c >/dev/null 2>&1 &
    done
    wait
    times+=("$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", (b - a) * 1000 }')")
  done
  printf '%s\n' "${times[@]}" | median
}

echo "## Two runs at once, $(nproc) CPUs, $runs runs each, medians"
printf '| command (-j 1) | alone | two at once | speed-up of two runs |\n|---|---|---|---|\n'
for command in "extract -j 1 {dir}/shell32.dll -o {o1}" "extract -r -j 1 {dir} -o {o1}" \
  "list -r -j 1 {dir}"; do
  second=${command//\{dir\}/\{copy\}}
  second=${second//\{o1\}/\{o2\}}
  alone=$(together "$command")
  both=$(together "$command" "$second")
  # shellcheck disable=SC2016 # the backticks belong to the table
  printf '| `%s` | %s ms | %s ms | %sx |\n' "$(c=${command//\{dir\}/DIR}; echo "${c//\{o1\}/OUT}")" "$alone" "$both" \
    "$(awk -v a="$alone" -v b="$both" 'BEGIN { printf "%.2f", 2 * a / b }')"
done
