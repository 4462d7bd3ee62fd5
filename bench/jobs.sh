#!/usr/bin/env bash
# Batch runs on one and on several threads: `vantorico extract -r` and
# `list -r --json` of Wine's x86_64 folder with -j 1 and -j 2 (JOBS to
# change), each the median wall time of RUNS runs (default 5) with the
# largest peak RSS and page faults (minor: a page first touched), and a check that every -j run gives the -j 1 run's
# standard output and files.
#
#   bench/jobs.sh [BUILD_DIR]     (default build/native; needs vantorico)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build/native}
runs=${RUNS:-5}
jobs=${JOBS:-1 2}
cli=$build/cli/vantorico
[ -x "$cli" ] || { echo "jobs.sh: $cli not built" >&2; exit 2; }
# shellcheck source=scripts/machine.sh
. "$root/scripts/machine.sh"
dir=$(wine_pe_dir x86_64) || { echo "jobs.sh: Wine's x86_64 folder missing" >&2; exit 2; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Prints "median_seconds peak_rss_kib faults"; OUT stands for a fresh empty folder,
# and the last run's output and files are kept in $tmp/last (its output
# names them there, wherever they are moved).
measure() {
  local times=() rss=0 faults=0 out t r f start
  for ((k = 0; k < runs; k++)); do
    rm -rf "$tmp/last" && mkdir "$tmp/last"
    out=$tmp/last/out
    start=$EPOCHREALTIME
    /usr/bin/time -f '%M %R' -o "$tmp/time" "${@//OUT/$out}" >"$tmp/last/stdout" 2>/dev/null || true
    t=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.4f", b - a }')
    read -r r f <"$tmp/time"
    times+=("$t")
    ((r > rss)) && rss=$r
    ((f > faults)) && faults=$f
  done
  printf '%s %s %s\n' "$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")" "$rss" "$faults"
}

# Whether the cores are free: two busy loops for a second get 200% on two idle
# cores; a -j figure is only worth what the machine gave it.
idle=$( { /usr/bin/time -f '%P' sh -c 'timeout 1 yes >/dev/null & timeout 1 yes >/dev/null; wait'; } 2>&1)
files=$(find "$dir" -type f | wc -l)
bytes=$(du -sm --apparent-size "$dir" | cut -f1)
echo "## Batch runs of $dir ($files files, $bytes MB), $(nproc) CPUs; two busy loops got $idle CPU"
printf '| command | -j | time | peak RSS | faults | speed-up | same as -j 1 |\n|---|---|---|---|---|---|---|\n'
# The source of most outputs alone (shell32.dll: 184 of the folder's 229),
# with each -j: its groups are made and written on the threads too.
biggest=$dir/shell32.dll
for command in "extract -r $dir -o OUT" "list -r --json $dir"; do
  base=""
  for j in $jobs; do
    # shellcheck disable=SC2086
    read -r t rss faults < <(measure "$cli" ${command%% *} -j "$j" ${command#* })
    if [ -z "$base" ]; then
      base=$t
      rm -rf "$tmp/first" && mv "$tmp/last" "$tmp/first"
      same=-
    else
      same=yes
      sed "s|$tmp/last/out|OUT|g" "$tmp/last/stdout" | cmp -s - <(sed "s|$tmp/last/out|OUT|g" "$tmp/first/stdout") || same=NO
      if [ -d "$tmp/first/out" ]; then diff -r "$tmp/first/out" "$tmp/last/out" >/dev/null || same=NO; fi
    fi
    printf '| %s | %s | %s s | %s KiB | %s | %s | %s |\n' "${command%% *} ${command#* }" "$j" "$t" "$rss" "$faults" \
      "$(awk -v a="$base" -v b="$t" 'BEGIN { printf "%.2fx", a / b }')" "$same"
  done
  one=${command/-r $dir/$biggest}
  alone=""
  for j in $jobs; do
    # shellcheck disable=SC2086
    read -r t rss faults < <(measure "$cli" ${one%% *} -j "$j" ${one#* })
    [ -z "$alone" ] && alone=$t
    printf '| %s (alone) | %s | %s s | %s KiB | %s | %s | - |\n' \
      "${one%% *} $(basename "$biggest")" "$j" "$t" "$rss" "$faults" "$(awk -v a="$alone" -v b="$t" 'BEGIN { printf "%.2fx", a / b }')"
  done
done
