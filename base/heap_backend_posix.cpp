#include <sys/mman.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <atomic>
#include <cstdint>
#include <cstdlib>

#include "base/heap.h"
#include "base/heap_backend.h"

namespace vantorico {
namespace {

// Blocks this large (a whole source file, a reader's chunk of kept ranges)
// get their own mapping, aligned to and sized in huge pages, with
// transparent huge pages asked for: filling 8 MB through 4 KiB pages costs
// one fault each, which on a virtual machine was half the time of
// extracting a large module.
constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kOwnMappingSize = kHugePage;

bool OwnMapping(size_t size) {
  return size >= kOwnMappingSize;
}

size_t MappingLength(size_t size) {
  return (size + kHugePage - 1) / kHugePage * kHugePage;
}

// Freed one-page mappings kept for the next (each reader of a batch takes
// one or two): their pages are already there, so they cost no fault again.
// A slot holds one mapping; taking and putting are single exchanges.
constexpr int kKeptMappings = 8;
std::atomic<void*> g_kept[kKeptMappings];

void* TakeKept() {
  for (std::atomic<void*>& slot : g_kept) {
    if (void* block = slot.exchange(nullptr)) return block;
  }
  return nullptr;
}

bool PutKept(void* block) {
  for (std::atomic<void*>& slot : g_kept) {
    void* empty = nullptr;
    if (slot.compare_exchange_strong(empty, block)) return true;
  }
  return false;
}

void* MapAligned(size_t length) {
  // Mapped one page longer, then trimmed to the aligned part.
  if (length > SIZE_MAX - kHugePage) return nullptr;
  void* raw =
      mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
  if (aligned > start) (void)munmap(raw, aligned - start);
  const uintptr_t end = start + length + kHugePage;
  if (end > aligned + length) {
    (void)munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
  }
  void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  // Advice only: where huge pages are off or unavailable, small pages serve.
  (void)madvise(block, length, MADV_HUGEPAGE);
#endif
  return block;
}

}  // namespace

void KeepFreedMemoryInProcess() {
#if defined(__GLIBC__)
  // A freed top of the heap is given back past 256 MB only, and blocks up to
  // 32 MB come from the heap rather than a mapping of their own (both the
  // allocator's largest); what is bounded is still the peak, which stays
  // the run's own.
  (void)mallopt(M_TRIM_THRESHOLD, 256 << 20);
  (void)mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif
}

void* RawAllocate(size_t size) {
  if (!OwnMapping(size)) return std::malloc(size);
  const size_t length = MappingLength(size);
  if (length == kHugePage) {
    if (void* kept = TakeKept()) return kept;
  }
  return MapAligned(length);
}

void RawFree(void* block, size_t size) {
  if (!OwnMapping(size)) {
    std::free(block);
    return;
  }
  const size_t length = MappingLength(size);
  if (length == kHugePage && PutKept(block)) return;
  (void)munmap(block, length);
}

}  // namespace vantorico
