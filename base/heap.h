#pragma once
// The process heap every text and icon block comes from, with its own
// accounting so tests can prove that a run leaves the heap as it found it.
// TryAllocate reports failure with null; the fatal variant lives in the runtime.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace vantorico {

void* HeapTryAllocate(size_t size);
void HeapRelease(void* block);

// A block of this size fills one huge page with its header: on POSIX it is
// mapped apart, and a few freed ones are kept for the next, so a batch's
// readers reuse pages already there instead of faulting fresh ones in.
constexpr size_t kHeapChunkSize = (size_t{2} << 20) - 16;

struct HeapBlockRelease {
  void operator()(void* block) const { HeapRelease(block); }
};
// The one owner of a heap block that is not part of a larger record.
using HeapBytes = std::unique_ptr<uint8_t[], HeapBlockRelease>;
inline HeapBytes HeapTryAllocateBytes(size_t size) {
  return HeapBytes(static_cast<uint8_t*>(HeapTryAllocate(size)));
}

struct HeapCounters {
  uint64_t liveBlocks;
  uint64_t liveBytes;
  uint64_t totalAllocations;
};
HeapCounters GetHeapCounters();

// Tests make the next allocations fail to reach the out-of-memory paths.
// fail_after = n: n more allocations succeed, then every one fails; -1 = never.
void SetHeapFailureAfter(int64_t fail_after);

}  // namespace vantorico
