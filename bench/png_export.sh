#!/usr/bin/env bash
# Times PNG export of every icon group of Wine's shell32.dll (i386 and
# x86_64): our pipeline writing each group's best image, our pipeline writing
# every image, and icoutils' `icotool -x` (every image) on the same .ico files.
#
#   bench/png_export.sh [BUILD_DIR]   (default build/native; needs vantorico and png_export)
#
# The groups are first written as .ico files by `vantorico extract`; only the
# PNG export is timed. Each figure is the median of RUNS runs (default 5) of
# wall time and of CPU time (user + system, which varies less on a shared
# machine), with peak RSS, into a fresh directory each time. The pipeline
# writes no PNG for a group whose every image is fully transparent (Wine has
# six such 1-bit placeholders), so (a) writes fewer files than there are groups.
set -euo pipefail

build=${1:-build/native}
runs=${RUNS:-5}
cli=$build/cli/vantorico
export_bin=$build/bench/png_export
for p in "$cli" "$export_bin"; do
  [ -x "$p" ] || { echo "png_export.sh: $p not built" >&2; exit 2; }
done
command -v icotool >/dev/null || { echo "png_export.sh: icotool (icoutils) missing" >&2; exit 2; }

# shellcheck source=scripts/machine.sh
. "$root/scripts/machine.sh"
files=()
for arch in i386 x86_64; do
  dir=$(wine_pe_dir "$arch") && files+=("$dir/shell32.dll")
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# Prints "median_wall_s median_cpu_s peak_rss_kib pngs" for the command
# (OUT stands for a fresh directory).
measure() {
  local times=() cpus=() rss=0 out t r u s pngs=0
  for ((k = 0; k < runs; k++)); do
    out=$(mktemp -d "$tmp/out.XXXX")
    /usr/bin/time -f '%e %M %U %S' -o "$tmp/time" "${@//OUT/$out}" >/dev/null 2>&1 || true
    read -r t r u s < <(tail -n 1 "$tmp/time")
    times+=("$t")
    cpus+=("$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%.2f", u + s }')")
    ((r > rss)) && rss=$r
    pngs=$(find "$out" -name '*.png' | wc -l)
    rm -rf "$out"
  done
  printf '%s %s %s %s\n' "$(median "${times[@]}")" "$(median "${cpus[@]}")" "$rss" "$pngs"
}

printf '| file | groups | (a) ours, best image | (b) ours, every image | (c) icotool -x, every image | c/b (CPU) |\n'
printf '|---|---|---|---|---|---|\n'
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  icos=$tmp/icos-$(basename "$(dirname "$f")")
  mkdir -p "$icos"
  "$cli" extract "$f" -o "$icos" >/dev/null
  mapfile -t list < <(find "$icos" -name '*.ico' | sort -V)
  read -r a acpu arss apng < <(measure "$export_bin" OUT "${list[@]}")
  read -r b bcpu brss bpng < <(measure "$export_bin" --all OUT "${list[@]}")
  read -r c ccpu crss cpng < <(measure icotool -x -o OUT "${list[@]}")
  printf '| %s | %s | %s s, CPU %s s, %s KiB, %s PNGs | %s s, CPU %s s, %s KiB, %s PNGs | %s s, CPU %s s, %s KiB, %s PNGs | %s |\n' \
    "${f#/usr/lib/*/wine/}" "${#list[@]}" "$a" "$acpu" "$arss" "$apng" "$b" "$bcpu" "$brss" \
    "$bpng" "$c" "$ccpu" "$crss" "$cpng" \
    "$(awk -v b="$bcpu" -v c="$ccpu" 'BEGIN { printf "%.2f", (b > 0 ? c / b : 0) }')"
done
