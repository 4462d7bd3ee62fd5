#pragma once
// Room for many byte ranges that live and go together (a reader's kept
// ranges, a source's outputs): carved one after another from chunks of
// kHeapChunkSize, so filling them faults in a huge page per 2 MB where the
// system gives them, and the chunks of one user go on to the next. Ranges
// larger than a quarter of a chunk get a block of their own. Not for use
// from two threads at once.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/heap.h"

namespace vantorico {

class ChunkArena {
 public:
  ChunkArena() = default;
  ~ChunkArena();
  ChunkArena(const ChunkArena&) = delete;
  ChunkArena& operator=(const ChunkArena&) = delete;

  // length bytes that stay until the arena goes; null when memory runs out.
  [[nodiscard]] uint8_t* Room(size_t length);

 private:
  std::vector<HeapBytes> chunks_;
  std::vector<HeapBytes> own_;  // the large ranges
  size_t used_ = 0;             // of chunks_.back()
};

}  // namespace vantorico
