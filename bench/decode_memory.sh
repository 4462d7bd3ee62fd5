#!/usr/bin/env bash
# What decoding a large image costs when the output is small: peak RSS
# (/usr/bin/time) and wall time of `vantorico extract --format png --size 48`
# and of the thumbnailer (-s 128) on modules of one icon group each
# (bench/make_pe.py): a SIDE x SIDE 1-bit PNG (--png) and a SIDE x SIDE
# 32-bit DIB (--dib32), for SIDE 4096 and 2048. Each output's SHA-256 is
# printed too, so that two builds' runs can be compared.
#
#   bench/decode_memory.sh [BUILD_DIR]     (default build/native)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build/native}
cli=$build/cli/vantorico
thumb=$build/thumbnailer/vantorico-thumbnailer
for tool in "$cli" "$thumb"; do
  [ -x "$tool" ] || { echo "decode_memory.sh: $tool not built" >&2; exit 2; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Prints "peak_rss_kib seconds exit_status output_sha  label" for the command,
# whose output file is the first argument.
measure() {
  local label=$1 output=$2
  shift 2
  rm -f "$output"
  local status=0
  /usr/bin/time -f '%M %e' -o "$tmp/time" "$@" >/dev/null 2>&1 || status=$?
  read -r rss secs < <(tail -n 1 "$tmp/time")
  local sum=-
  [ -f "$output" ] && sum=$(sha256sum "$output" | cut -c1-12)
  printf '%8s KiB peak  %6s s  exit %s  %12s  %s\n' "$rss" "$secs" "$status" "$sum" "$label"
}

for side in 4096 2048; do
  for kind in png dib32; do
    module=$tmp/$kind$side.dll
    /usr/bin/python3 "$root/bench/make_pe.py" 1 "$module" --$kind "$side"
    echo "module of one $side x $side $kind group: $(stat -c %s "$module") bytes"
    rm -rf "$tmp/out" && mkdir -p "$tmp/out"
    measure "extract --format png --size 48 $kind$side.dll" "$tmp/out/1.png" \
      "$cli" extract --format png --size 48 "$module" -o "$tmp/out"
    measure "thumbnailer -s 128 $kind$side.dll" "$tmp/t.png" "$thumb" -s 128 "$module" "$tmp/t.png"
  done
done
