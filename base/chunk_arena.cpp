#include "base/chunk_arena.h"

#include <algorithm>
#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define VANTORICO_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define VANTORICO_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define VANTORICO_POISON(p, n) ((void)(p), (void)(n))
#define VANTORICO_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace vantorico {
namespace {

// A range larger than this has a block of its own, so a chunk's unused end
// stays under a quarter of it.
constexpr size_t kMaxSharedRange = kHeapChunkSize / 4;
// Where each range starts in a chunk (the sanitizer poisons by 8 bytes).
constexpr size_t kRangeAlign = 8;
#if defined(__SANITIZE_ADDRESS__)
// Poisoned bytes after each range, so that reading past one is caught.
constexpr size_t kRedZone = 16;
#else
constexpr size_t kRedZone = 0;
#endif

}  // namespace

ChunkArena::~ChunkArena() {
  // A chunk may be handed out again: it leaves unpoisoned.
  for (HeapBytes& chunk : chunks_) VANTORICO_UNPOISON(chunk.get(), kHeapChunkSize);
}

uint8_t* ChunkArena::Room(size_t length) {
  if (length > kMaxSharedRange) {
    HeapBytes own = HeapTryAllocateBytes(length);
    if (!own) return nullptr;
    own_.push_back(std::move(own));
    return own_.back().get();
  }
  const size_t need = length + kRedZone;
  if (chunks_.empty() || need > kHeapChunkSize - used_) {
    HeapBytes chunk = HeapTryAllocateBytes(kHeapChunkSize);
    if (!chunk) return nullptr;
    VANTORICO_POISON(chunk.get(), kHeapChunkSize);
    chunks_.push_back(std::move(chunk));
    used_ = 0;
  }
  uint8_t* room = chunks_.back().get() + used_;
  VANTORICO_UNPOISON(room, length);
  used_ = std::min(kHeapChunkSize, (used_ + need + kRangeAlign - 1) / kRangeAlign * kRangeAlign);
  return room;
}

}  // namespace vantorico
