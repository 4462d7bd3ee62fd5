#!/bin/sh
# Which source lines each target's corpus reaches: replays the committed
# corpus and, where present, the campaign's corpus through a coverage build,
# and prints llvm-cov's summary for the files that target fuzzes. Usage, from
# the project root, after
#   cmake --preset fuzz-coverage && cmake --build build/fuzz-coverage -j2
#   fuzz/coverage_report.sh [TARGET...]
# Line-by-line listings go to build/fuzz-coverage/report/<target>.txt.
set -eu
targets=${*:-"module_reader icon_file_reader layout_reader icon_choice filter_conversion drop_text"}
bin=build/fuzz-coverage/fuzz
out=build/fuzz-coverage/report
profdata=$(command -v llvm-profdata || command -v llvm-profdata-14)
cov=$(command -v llvm-cov || command -v llvm-cov-14)
mkdir -p "$out"

sources_of() {
  case $1 in
    module_reader)
      echo iconlib/formats/module_source_portable.cpp iconlib/formats/pe_resource_reader.cpp \
        iconlib/formats/ne_resource_reader.cpp iconlib/formats/icon_group_reader.cpp \
        iconlib/formats/icon_file_writer.cpp iconlib/formats/image_fields.cpp iconlib/formats/png_header.cpp \
        iconlib/formats/dib_arithmetic.cpp base/byte_cursor.h ;;
    icon_file_reader)
      echo iconlib/formats/icon_file_reader.cpp iconlib/formats/icon_file_writer.cpp iconlib/formats/image_fields.cpp \
        iconlib/formats/png_header.cpp iconlib/formats/dib_arithmetic.cpp iconlib/memory_input_file.cpp ;;
    layout_reader) echo framework/layout_reader.cpp ;;
    icon_choice) echo shell/tray/icon_entry_choice.cpp ;;
    filter_conversion) echo runtime/dialog/filter_conversion.cpp ;;
    drop_text) echo shell/drop/drop_text.cpp ;;
  esac
}

for t in $targets; do
  dirs="fuzz/corpus/$t"
  [ -d "build/fuzz/campaign/$t" ] && dirs="$dirs build/fuzz/campaign/$t"
  [ "$t" = layout_reader ] && [ -d build/fuzz/fuzz/seeds/layout ] && dirs="$dirs build/fuzz/fuzz/seeds/layout"
  rm -f "$out/$t".*.profraw
  # shellcheck disable=SC2086 # the folders are words on purpose
  LLVM_PROFILE_FILE="$out/$t.%p.profraw" "$bin/fuzz_$t" -runs=0 -timeout=60 $dirs \
    >"$out/$t.replay.log" 2>&1
  "$profdata" merge -sparse "$out/$t".*.profraw -o "$out/$t.profdata"
  # shellcheck disable=SC2046
  "$cov" report "$bin/fuzz_$t" -instr-profile="$out/$t.profdata" $(sources_of "$t") |
    sed "s|^$(pwd)/||" >"$out/$t.summary.txt"
  # shellcheck disable=SC2046
  "$cov" show "$bin/fuzz_$t" -instr-profile="$out/$t.profdata" -show-line-counts-or-regions \
    $(sources_of "$t") >"$out/$t.txt"
  echo "== $t ($dirs)"
  cat "$out/$t.summary.txt"
done
