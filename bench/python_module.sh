#!/usr/bin/env bash
# The Python module against its peers, each figure the median wall time of
# RUNS runs (default 5) of a fresh python3 process, import included:
#
#  1. Every icon group of Wine's shell32.dll (i386, else x86_64) to .ico bytes
#     in memory: the vantorico module, Debian's icoextract (one get_icon call
#     per group) and a pefile script (bench/python_module.py). Two figures:
#     in the process, from before the tool's import to the last group (wall
#     time, and CPU time, which a busy machine disturbs less), and the whole
#     python3 process (the interpreter's own start included).
#  2. Every icon group of every file of Wine's PE folders written as a .ico:
#     the module in one process, against one `vantorico extract` process per
#     file.
#
#   bench/python_module.sh [BUILD_DIR]   (default build/native; installs it
#                                         into a scratch prefix first)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build/native}
runs=${RUNS:-5}
python=/usr/bin/python3
cli=$build/cli/vantorico
# shellcheck source=scripts/machine.sh
. "$root/scripts/machine.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cmake --install "$build" --prefix "$tmp/inst" >/dev/null
export PYTHONPATH=$tmp/inst/lib/python3/dist-packages
# Byte-compiled, as python3-vantorico's postinst does and as Debian's
# icoextract and pefile are: no tool pays for compiling its source.
"$python" -m compileall -q "$PYTHONPATH/vantorico" >/dev/null

# median SECONDS of RUNS runs of the command; OUT is a fresh empty folder.
measure() {
  local times=() out start t
  for ((k = 0; k < runs; k++)); do
    out=$(mktemp -d "$tmp/out.XXXX")
    start=$EPOCHREALTIME
    "${@//OUT/$out}" >/dev/null
    t=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.4f", b - a }')
    times+=("$t")
    rm -rf "$out"
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

shell32=$(wine_pe_dir i386 || wine_pe_dir x86_64)/shell32.dll
echo "## 1. $shell32: every icon group to .ico bytes in memory, import included"
printf '| tool | groups, bytes | import + work: wall | CPU | whole process | CPU against the module |\n'
printf '|---|---|---|---|---|---|\n'
base=""
median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }
for tool in vantorico icoextract pefile; do
  walls=() cpus=()
  for ((k = 0; k < runs; k++)); do
    read -r groups bytes t c < <("$python" "$root/bench/python_module.py" groups "$shell32" "$tool")
    walls+=("$t") cpus+=("$c")
  done
  t=$(printf '%s\n' "${walls[@]}" | median)
  c=$(printf '%s\n' "${cpus[@]}" | median)
  whole=$(measure "$python" "$root/bench/python_module.py" groups "$shell32" "$tool")
  [ -n "$base" ] || base=$c
  printf '| %s | %s, %s | %s s | %s s | %s s | %sx |\n' "$tool" "$groups" "$bytes" "$t" "$c" "$whole" \
    "$(awk -v a="$c" -v b="$base" 'BEGIN { printf "%.1f", a / b }')"
done
printf '| (python3 -c pass) | | | | %s s | |\n' "$(measure "$python" -c pass)"

echo
folders=()
for arch in i386 x86_64; do
  d=$(wine_pe_dir "$arch") && folders+=("$d")
done
files=$(find "${folders[@]}" -maxdepth 1 -type f | wc -l)
echo "## 2. Wine's PE folders (${folders[*]}, $files files): every icon group written as .ico"
printf '| how | time |\n|---|---|\n'
per_file() {
  local out=$1 f n=0
  shift
  for d in "$@"; do
    for f in "$d"/*; do
      [ -f "$f" ] || continue
      n=$((n + 1))
      "$cli" extract -q -o "$out/$n" "$f" 2>/dev/null || true
    done
  done
}
t=$(measure "$python" "$root/bench/python_module.py" folders OUT "${folders[@]}")
printf '| the module, one process | %s s |\n' "$t"
t=$(measure per_file OUT "${folders[@]}")
printf '| one `vantorico extract` process per file | %s s |\n' "$t"
