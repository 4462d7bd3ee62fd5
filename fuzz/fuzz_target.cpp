// One libFuzzer target; FUZZ_ENTRY names its entry point. A broken property
// aborts, so libFuzzer keeps the input as a crash.
#include <cstdlib>

#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_image_entries.h"
#include "fuzz/fuzz_library_entries.h"
#include "fuzz/fuzz_rule_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!vantorico::FUZZ_ENTRY(data, size)) std::abort();
  return 0;
}
