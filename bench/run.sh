#!/usr/bin/env bash
# Times the tool's extraction loop against one pass and against icoutils'
# wrestool on Wine's shell32.dll (i386 and x86_64), with peak RSS.
#
#   bench/run.sh [BUILD_DIR]     (default build/native; needs extract_loop built)
#
# Each figure is the median wall time of RUNS runs (default 5), output into a
# fresh temporary directory each time.
set -euo pipefail

build=${1:-build/native}
runs=${RUNS:-5}
loop=$build/bench/extract_loop
[ -x "$loop" ] || { echo "run.sh: $loop not built" >&2; exit 2; }
command -v wrestool >/dev/null || { echo "run.sh: wrestool (icoutils) missing" >&2; exit 2; }

files=(/usr/lib/i386-linux-gnu/wine/i386-windows/shell32.dll
       /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Prints "median_seconds peak_rss_kib" for the command (OUT stands for a fresh directory).
measure() {
  local times=() rss=0 out t r
  for ((k = 0; k < runs; k++)); do
    out=$(mktemp -d "$tmp/out.XXXX")
    /usr/bin/time -f '%e %M' -o "$tmp/time" "${@//OUT/$out}" >/dev/null 2>&1
    read -r t r <"$tmp/time"
    times+=("$t")
    ((r > rss)) && rss=$r
    rm -rf "$out"
  done
  printf '%s %s\n' "$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")" "$rss"
}

printf '| file | (a) loop 1..1000 | (b) one pass | (c) wrestool -x -t 14 | a/c | a/b |\n'
printf '|---|---|---|---|---|---|\n'
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  read -r a arss < <(measure "$loop" "$f" OUT)
  read -r b brss < <(measure "$loop" --once "$f" OUT)
  read -r c crss < <(measure wrestool -x -t 14 -o OUT "$f")
  printf '| %s | %s s, %s KiB | %s s, %s KiB | %s s, %s KiB | %s | %s |\n' "$f" \
    "$a" "$arss" "$b" "$brss" "$c" "$crss" \
    "$(awk -v a="$a" -v c="$c" 'BEGIN { printf "%.2f", (c > 0 ? a / c : 0) }')" \
    "$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
done
