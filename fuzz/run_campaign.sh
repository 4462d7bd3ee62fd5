#!/bin/sh
# One fuzzing campaign over every target, one fuzzer process at a time, at
# the lowest priority. Usage (from the project root, after
# `cmake --preset fuzz && cmake --build build/fuzz`):
#   fuzz/run_campaign.sh SECONDS_PER_TARGET [TARGET...]
# Seeds come from fuzz/corpus/<target>, the files the build makes and Wine's
# program files; the growing corpora, crashes and logs stay under
# build/fuzz/campaign. Minimise afterwards with fuzz/minimise_corpora.sh.
set -eu
seconds=${1:?seconds per target}
shift
targets=${*:-"module_reader icon_file_reader layout_reader icon_choice filter_conversion drop_text"}
bin=build/fuzz/fuzz
out=build/fuzz/campaign
seeds=build/fuzz/fuzz/seeds
mkdir -p "$out/artifacts" "$seeds/module" "$seeds/icon_file" "$seeds/text"

# Program files: the windres-built test modules, small Wine PE32 and PE32+
# files, and Wine's 16-bit NE files from any of our prefixes.
# shellcheck source=scripts/machine.sh
. scripts/machine.sh
i386=$(wine_pe_dir i386 || true)
x86_64=$(wine_pe_dir x86_64 || true)
for f in build/native/tests/iconlib/test_module32.dll build/native/tests/iconlib/test_module64.dll \
  "$i386/icmp.dll" "$i386/lz32.dll" "$x86_64/sfc.dll"; do
  [ -f "$f" ] && cp "$f" "$seeds/module/" || true
done
for prefix in "$HOME"/.cache/vantorico/wine*/drive_c/windows; do
  for f in "$prefix"/system/*.dll "$prefix"/system32/comm.drv "$prefix"/system32/mouse.drv \
    "$prefix"/system32/winoldap.mod; do
    [ -f "$f" ] && cp "$f" "$seeds/module/" || true
  done
  break
done
# A directory the size of a large system DLL's (1,000 groups, 1,000 images),
# so that a path slow in the number of groups shows as a timeout.
python3 bench/make_pe.py 1000 "$seeds/module/groups1000.dll"
python3 bench/make_pe.py 1000 "$seeds/module/names1000.dll" --text-names
cp tests/data/*.ico "$seeds/icon_file/"
python3 fuzz/make_dib_seeds.py "$seeds/dib"
mkdir -p fuzz/corpus/dib_decoder
printf 'Icon files (*.ico)|*.ico|All files|*.*' >"$seeds/text/filter"
printf 'C:\\a\\1.ico\0D:\\\x81\x5c\\2.exe\0' >"$seeds/text/paths"

timed() {
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -o "$out/$name.cpu" -f "cpu: user %Us sys %Ss wall %es maxrss %MKB" "$@"
  else
    "$@"
  fi
}

run() {
  name=$1
  shift
  mkdir -p "$out/$name"
  echo "== $name $(date -u +%FT%TZ) ${seconds}s" >>"$out/campaign.log"
  # libFuzzer's time limit is wall-clock; the CPU the fuzzer really had goes
  # into the log too, named, since two campaigns may share the machine and log.
  timed nice -n 19 "$bin/fuzz_$name" "$out/$name" "$@" -max_total_time="$seconds" -timeout=25 \
    -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$out/artifacts/$name-" \
    >"$out/$name.log" 2>&1 || echo "   exit $? (see $name.log)" >>"$out/campaign.log"
  [ -f "$out/$name.cpu" ] && sed "s/^/$name /" "$out/$name.cpu" >>"$out/campaign.log"
  grep -E '^(stat::|Done|#[0-9]+ +DONE)' "$out/$name.log" >>"$out/campaign.log" || true
}

for t in $targets; do
  case $t in
    module_reader) run module_reader "$seeds/module" fuzz/corpus/module_reader -max_len=262144 ;;
    icon_file_reader) run icon_file_reader "$seeds/icon_file" fuzz/corpus/icon_file_reader -max_len=16384 ;;
    layout_reader) run layout_reader "$seeds/layout" fuzz/corpus/layout_reader -max_len=65536 ;;
    icon_choice) run icon_choice "$seeds/icon_file" fuzz/corpus/icon_choice -max_len=8192 ;;
    filter_conversion) run filter_conversion "$seeds/text" fuzz/corpus/filter_conversion -max_len=512 ;;
    drop_text) run drop_text "$seeds/text" fuzz/corpus/drop_text -max_len=1024 ;;
    dib_decoder) run dib_decoder "$seeds/dib" fuzz/corpus/dib_decoder -max_len=16384 ;;
  esac
done
echo "== end $(date -u +%FT%TZ)" >>"$out/campaign.log"
