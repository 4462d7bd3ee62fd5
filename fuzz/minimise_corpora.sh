#!/bin/sh
# Minimises each target's campaign corpus into fuzz/corpus/<target> (the
# files CI replays), keeping what is there. Usage, from the project root:
#   fuzz/minimise_corpora.sh [TARGET...]
set -eu
targets=${*:-"module_reader icon_file_reader layout_reader icon_choice filter_conversion drop_text"}
for t in $targets; do
  [ -d "build/fuzz/campaign/$t" ] || continue
  mkdir -p "fuzz/corpus/$t"
  # The two readers' campaign corpora are megabytes of large inputs; merging
  # on edges alone over short inputs keeps every edge in far fewer bytes.
  case $t in
    module_reader) extra="-use_counters=0 -max_len=4096" ;;
    layout_reader) extra="-use_counters=0 -max_len=2048" ;;
    *) extra= ;;
  esac
  # shellcheck disable=SC2086 # extra is flags, split on purpose
  nice -n 19 "build/fuzz/fuzz/fuzz_$t" -merge=1 -timeout=25 $extra "fuzz/corpus/$t" \
    "build/fuzz/campaign/$t" >"build/fuzz/campaign/$t.merge.log" 2>&1
  echo "$t: $(ls "fuzz/corpus/$t" | wc -l) files, $(du -sk "fuzz/corpus/$t" | cut -f1) KB"
done
