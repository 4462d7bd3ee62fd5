#!/usr/bin/env bash
# Benchmarks of the extraction engine, each figure the median wall time of
# RUNS runs (default 5, to 0.1 ms; /usr/bin/time's own clock rounds to 10 ms)
# with the largest peak RSS, from /usr/bin/time:
#
#  1. The tool's loop (extract_loop: ExtractFileIcon i = 1 .. 1000) against
#     one pass and icoutils' wrestool on Wine's shell32.dll.
#  2. `vantorico list` / `extract` on generated PE files of 1 to 10,000
#     groups (bench/make_pe.py) next to `wrestool -l` / `-x`, and on an NE
#     file of 65,535 groups (bench/make_ne.py).
#  3. `vantorico extract` of shell32.dll into an empty and into a full
#     folder, next to the floor: `cp -r` of the same output files.
#
#   bench/run.sh [BUILD_DIR]     (default build/native; needs vantorico and extract_loop)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build/native}
runs=${RUNS:-5}
loop=$build/bench/extract_loop
cli=$build/cli/vantorico
for tool in "$loop" "$cli"; do
  [ -x "$tool" ] || { echo "run.sh: $tool not built" >&2; exit 2; }
done
command -v wrestool >/dev/null || { echo "run.sh: wrestool (icoutils) missing" >&2; exit 2; }

# shellcheck source=scripts/machine.sh
. "$root/scripts/machine.sh"
files=()
for arch in i386 x86_64; do
  dir=$(wine_pe_dir "$arch") && files+=("$dir/shell32.dll")
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Prints "median_seconds peak_rss_kib" for the command. OUT stands for a
# fresh empty directory; with FULL=1 it is filled by PREFILL first (untimed).
measure() {
  local times=() rss=0 out t r start
  for ((k = 0; k < runs; k++)); do
    out=$(mktemp -d "$tmp/out.XXXX")
    if [ -n "${PREFILL:-}" ]; then "${PREFILL_CMD[@]//OUT/$out}" >/dev/null 2>&1 || true; fi
    start=$EPOCHREALTIME
    /usr/bin/time -f '%M' -o "$tmp/time" "${@//OUT/$out}" >/dev/null 2>&1 || true
    t=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.4f", b - a }')
    read -r r <"$tmp/time"
    times+=("$t")
    ((r > rss)) && rss=$r
    rm -rf "$out"
  done
  printf '%s %s\n' "$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")" "$rss"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

echo "## 1. The tool's loop"
printf '| file | (a) loop 1..1000 | (b) one pass | (c) wrestool -x -t 14 | a/c | a/b |\n'
printf '|---|---|---|---|---|---|\n'
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  read -r a arss < <(measure "$loop" "$f" OUT)
  read -r b brss < <(measure "$loop" --once "$f" OUT)
  read -r c crss < <(measure wrestool -x -t 14 -o OUT "$f")
  printf '| %s | %s s, %s KiB | %s s, %s KiB | %s s, %s KiB | %s | %s |\n' "$f" \
    "$a" "$arss" "$b" "$brss" "$c" "$crss" "$(ratio "$a" "$c")" "$(ratio "$a" "$b")"
done

echo
echo "## 2. Generated PE files, one 296-byte image per group"
printf '| groups | file | vantorico list | wrestool -l | vantorico extract | wrestool -x -t 14 |\n'
printf '|---|---|---|---|---|---|\n'
for n in 1 10 100 1000 10000; do
  pe=$tmp/groups$n.dll
  python3 "$root/bench/make_pe.py" "$n" "$pe"
  read -r l lrss < <(measure "$cli" list "$pe")
  read -r wl wlrss < <(measure wrestool -l "$pe")
  read -r x xrss < <(measure "$cli" extract "$pe" -o OUT)
  read -r wx wxrss < <(measure wrestool -x -t 14 -o OUT "$pe")
  printf '| %s | %s KiB | %s s, %s KiB | %s s, %s KiB | %s s, %s KiB | %s s, %s KiB |\n' "$n" \
    "$(($(stat -c %s "$pe") / 1024))" "$l" "$lrss" "$wl" "$wlrss" "$x" "$xrss" "$wx" "$wxrss"
done
pe=$tmp/names1000.dll
python3 "$root/bench/make_pe.py" 1000 "$pe" --text-names
read -r l lrss < <(measure "$cli" list "$pe")
read -r x xrss < <(measure "$cli" extract "$pe" -o OUT)
printf '| 1000 text names | %s KiB | %s s, %s KiB | - | %s s, %s KiB | - |\n' \
  "$(($(stat -c %s "$pe") / 1024))" "$l" "$lrss" "$x" "$xrss"
# A 16-bit NE file with as many groups as one type record can count
# (wrestool 0.32 lists the file but reads no group of it: "premature end").
ne=$tmp/groups65535.ne.dll
python3 "$root/bench/make_ne.py" 65535 "$ne"
read -r l lrss < <(measure "$cli" list "$ne")
read -r x xrss < <(measure "$cli" extract "$ne" -o OUT)
printf '| NE, 65535 | %s KiB | %s s, %s KiB | - | %s s, %s KiB | - |\n' \
  "$(($(stat -c %s "$ne") / 1024))" "$l" "$lrss" "$x" "$xrss"

echo
echo "## 3. shell32.dll into an empty and a full folder, and the floor"
printf '| file | extract, empty folder | extract, full folder | cp -r of the outputs | empty/cp | full/empty |\n'
printf '|---|---|---|---|---|---|\n'
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  "$cli" extract "$f" -o "$tmp/reference" >/dev/null
  read -r e erss < <(measure "$cli" extract "$f" -o OUT)
  PREFILL=1 PREFILL_CMD=(cp -r "$tmp/reference/." OUT)
  read -r full frss < <(measure "$cli" extract "$f" -o OUT)
  unset PREFILL
  read -r c crss < <(measure cp -r "$tmp/reference/." OUT)
  printf '| %s | %s s, %s KiB | %s s, %s KiB | %s s | %s | %s |\n' "$f" "$e" "$erss" \
    "$full" "$frss" "$c" "$(ratio "$e" "$c")" "$(ratio "$full" "$e")"
  rm -rf "$tmp/reference"
done
