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

// For a program that allocates and frees large blocks over and over (a
// batch of sources, each decoded): freed memory stays with the process, to
// be used again, instead of going back to the system and faulting in again
// (with two threads each return also stops the other processor to flush its
// TLB). Sets the whole process's allocator, so it is for a program's main,
// never for a library. Nothing to do where the platform's heap keeps its
// memory already.
void KeepFreedMemoryInProcess();

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
