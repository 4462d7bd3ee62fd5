#!/usr/bin/env bash
# What a source costs to read: bytes read from files (strace: the sum of
# read and pread64 results), peak RSS and wall time (/usr/bin/time) of
#
#  1. `vantorico list` and `extract` of a 100 MB program with one icon group
#     (bench/make_pe.py --code: a 100 MB code section, then a small
#     resource section);
#  2. the thumbnailer on a 2 GB sparse file (that program, then holes);
#  3. the hostile decoding cases (bench/make_pe.py --png SIDE): one and 110
#     groups of an 8192 x 8192 1-bit PNG each, 110 of 4096 x 4096 (what the
#     budget's floor lets through), `list`, `extract --size 48`,
#     `extract` as .ico, .bmp and .png and the thumbnailer.
#
#   bench/range_reads.sh [BUILD_DIR]     (default build/native)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build/native}
cli=$build/cli/vantorico
thumb=$build/thumbnailer/vantorico-thumbnailer
for tool in "$cli" "$thumb"; do
  [ -x "$tool" ] || { echo "range_reads.sh: $tool not built" >&2; exit 2; }
done
command -v strace >/dev/null || { echo "range_reads.sh: strace missing" >&2; exit 2; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Prints "bytes_read peak_rss_kib seconds  command" for the command.
measure() {
  local label=$1
  shift
  strace -f -qq -e trace=read,pread64 -e signal=none -o "$tmp/trace" "$@" >/dev/null 2>&1 || true
  local bytes
  bytes=$(awk '/^[0-9]+ +p?read(64)?\(/ { n = $NF; if (n ~ /^[0-9]+$/) s += n } END { print s + 0 }' "$tmp/trace")
  /usr/bin/time -f '%M %e' -o "$tmp/time" "$@" >/dev/null 2>&1 || true
  read -r rss secs < <(tail -n 1 "$tmp/time")
  printf '%12s B read  %8s KiB peak  %6s s  %s\n' "$bytes" "$rss" "$secs" "$label"
}

python3 "$root/bench/make_pe.py" 1 "$tmp/big.exe" --code $((100 * 1024 * 1024))
echo "100 MB program: $(stat -c %s "$tmp/big.exe") bytes, resource section $(( $(stat -c %s "$tmp/big.exe") - 100 * 1024 * 1024 - 512 )) bytes"
measure "list big.exe" "$cli" list "$tmp/big.exe"
mkdir -p "$tmp/out"
measure "extract big.exe" "$cli" extract "$tmp/big.exe" -o "$tmp/out"

python3 "$root/bench/make_pe.py" 1 "$tmp/sparse.exe"
truncate -s 2G "$tmp/sparse.exe"
measure "thumbnailer 2 GB sparse.exe" "$thumb" -s 128 "$tmp/sparse.exe" "$tmp/t.png"

for case in 8192:1 8192:110 4096:110; do
    side=${case%:*} n=${case#*:}
    python3 "$root/bench/make_pe.py" "$n" "$tmp/png$n.dll" --png "$side"
    echo "module of $n groups of a $side x $side 1-bit PNG: $(stat -c %s "$tmp/png$n.dll") bytes"
    measure "list png$n.dll" "$cli" list "$tmp/png$n.dll"
    rm -rf "$tmp/out" && mkdir -p "$tmp/out"
    measure "extract --format png --size 48 png$n.dll" "$cli" extract --format png --size 48 "$tmp/png$n.dll" -o "$tmp/out"
    rm -rf "$tmp/out" && mkdir -p "$tmp/out"
    measure "extract --format bmp png$n.dll" "$cli" extract --format bmp "$tmp/png$n.dll" -o "$tmp/out"
    rm -rf "$tmp/out" && mkdir -p "$tmp/out"
    measure "extract png$n.dll" "$cli" extract "$tmp/png$n.dll" -o "$tmp/out"
    rm -rf "$tmp/out" && mkdir -p "$tmp/out"
    measure "extract --format png png$n.dll" "$cli" extract --format png "$tmp/png$n.dll" -o "$tmp/out"
    measure "thumbnailer png$n.dll" "$thumb" -s 128 "$tmp/png$n.dll" "$tmp/t.png"
done
