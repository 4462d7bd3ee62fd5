#include "runtime/core/memory.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "base/heap.h"
#include "runtime/core/runtime_error.h"
#include "runtime/core/runtime_texts.h"

namespace vantorico {
namespace {

struct AddressRange {
  uintptr_t start;
  uintptr_t end;
};

std::vector<AddressRange>& NoFreeRanges() {
  static std::vector<AddressRange> ranges;
  return ranges;
}

}  // namespace

void* AllocateMemory(size_t size) {
  void* block = HeapTryAllocate(size);
  if (!block) {
    char message[64];
    std::snprintf(message, sizeof message, kTextAllocationFailed, static_cast<int>(size));
    ReportRuntimeError(message, 0);
  }
  return block;
}

void RegisterNoFreeRange(const void* start, const void* end) {
  NoFreeRanges().push_back({reinterpret_cast<uintptr_t>(start), reinterpret_cast<uintptr_t>(end)});
}

bool IsInNoFreeRange(const void* block) {
  const auto p = reinterpret_cast<uintptr_t>(block);
  for (const AddressRange& r : NoFreeRanges()) {
    if (r.start <= p && p < r.end) return true;
  }
  return false;
}

void FreeMemory(const void* block) {
  if (!block || IsInNoFreeRange(block)) return;
  HeapRelease(const_cast<void*>(block));
}

}  // namespace vantorico
