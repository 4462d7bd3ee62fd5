#!/usr/bin/env bash
# Times the thumbnailer against exe-thumbnailer (Debian's icoextract-thumbnailer)
# on Wine's shell32.dll and notepad.exe (i386) and on a 100 MB program made by
# bench/make_pe.py (100 icon groups, then a 100 MB overlay as installers carry
# their payload), at the two sizes file managers ask for (128 and 256).
#
#   bench/thumbnailer.sh [BUILD_DIR]   (default build/native; needs its vantorico-thumbnailer)
#
# exe-thumbnailer is installed only for this: `apt-get install icoextract-thumbnailer`,
# and removed afterwards (it would hide faults of ours from tumbler's tests).
# Each figure is the median of RUNS runs (default 5) of wall time and of CPU
# time (user + system, the worker included), with the largest peak RSS (of
# the program and the worker it waits for), writing a fresh output each time.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build/native}
runs=${RUNS:-5}
ours=$build/thumbnailer/vantorico-thumbnailer
[ -x "$ours" ] || { echo "thumbnailer.sh: $ours not built" >&2; exit 2; }
peer=$(command -v exe-thumbnailer) ||
  { echo "thumbnailer.sh: exe-thumbnailer missing (apt-get install icoextract-thumbnailer)" >&2; exit 2; }

# shellcheck source=scripts/machine.sh
. "$root/scripts/machine.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 "$root/bench/make_pe.py" 100 "$tmp/large.exe" --overlay $((100 * 1024 * 1024))
files=("$(wine_file shell32.dll)" "$(wine_file notepad.exe)" "$tmp/large.exe")

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# Prints "median_wall_s median_cpu_s peak_rss_kib WxH" for PROGRAM SIZE FILE.
measure() {
  local program=$1 size=$2 file=$3 times=() cpus=() rss=0 t r u s k out
  for ((k = 0; k < runs; k++)); do
    out=$tmp/out-$k.png
    rm -f "$out"
    /usr/bin/time -f '%e %M %U %S' -o "$tmp/time" "$program" -s "$size" "$file" "$out" \
      >/dev/null 2>&1 || true
    read -r t r u s < <(tail -n 1 "$tmp/time")
    times+=("$t")
    cpus+=("$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%.2f", u + s }')")
    ((r > rss)) && rss=$r
  done
  local dims=none
  [ -s "$out" ] && dims=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' "$out")
  printf '%s %s %s %s\n' "$(median "${times[@]}")" "$(median "${cpus[@]}")" "$rss" "$dims"
}

echo "| file | size | ours: wall, CPU, peak RSS, picture | exe-thumbnailer: wall, CPU, peak RSS, picture |"
echo "|---|---|---|---|"
for file in "${files[@]}"; do
  for size in 128 256; do
    read -r ow oc orss od < <(measure "$ours" "$size" "$file")
    read -r pw pc prss pd < <(measure "$peer" "$size" "$file")
    printf '| %s (%s MB) | %s | %s s, %s s, %s KiB, %s | %s s, %s s, %s KiB, %s |\n' \
      "$(basename "$file")" "$(awk -v b="$(stat -c %s "$file")" 'BEGIN { printf "%.1f", b / 1e6 }')" \
      "$size" "$ow" "$oc" "$orss" "$od" "$pw" "$pc" "$prss" "$pd"
  done
done
