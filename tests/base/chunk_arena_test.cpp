#include "base/chunk_arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vantorico {
namespace {

// Ranges of awkward lengths around the arena's bounds, each filled with its
// own pattern and checked once all are handed out: a range that overlaps
// another, or a chunk given up while its ranges live, shows as a changed byte.
TEST(ChunkArena, RangesOfEveryLengthKeepTheirBytesWhileTheArenaLives) {
  const HeapCounters before = GetHeapCounters();
  {
    const size_t quarter = kHeapChunkSize / 4;
    const size_t lengths[] = {1,       7,           8,
                              9,       4096,        quarter - 1,
                              quarter, quarter + 1, kHeapChunkSize,
                              3,       quarter,     quarter,
                              quarter, quarter,     5};
    ChunkArena arena;
    std::vector<std::pair<uint8_t*, size_t>> ranges;
    uint8_t mark = 1;
    for (int round = 0; round < 3; ++round) {
      for (size_t length : lengths) {
        uint8_t* room = arena.Room(length);
        ASSERT_NE(room, nullptr) << length;
        for (size_t k = 0; k < length; ++k) room[k] = static_cast<uint8_t>(mark + k);
        ranges.push_back({room, length});
        ++mark;
      }
    }
    mark = 1;
    for (const auto& r : ranges) {
      for (size_t k = 0; k < r.second; ++k) {
        ASSERT_EQ(r.first[k], static_cast<uint8_t>(mark + k)) << "range of " << r.second;
      }
      ++mark;
    }
    EXPECT_NE(arena.Room(0), nullptr);
  }
  // Every chunk and large range goes with the arena.
  const HeapCounters after = GetHeapCounters();
  EXPECT_EQ(after.liveBlocks, before.liveBlocks);
  EXPECT_EQ(after.liveBytes, before.liveBytes);
}

TEST(ChunkArena, RunningOutOfMemoryGivesNull) {
  ChunkArena arena;
  SetHeapFailureAfter(0);
  uint8_t* small = arena.Room(16);
  uint8_t* large = arena.Room(kHeapChunkSize);
  SetHeapFailureAfter(-1);
  EXPECT_EQ(small, nullptr);
  EXPECT_EQ(large, nullptr);
  EXPECT_NE(arena.Room(16), nullptr);
}

#if defined(__SANITIZE_ADDRESS__)
// Under the sanitizer a byte past a range, or past what was handed out, is a
// reported read, as it would be past a block of its own.
TEST(ChunkArenaDeathTest, AReadPastARangeIsCaught) {
  ChunkArena arena;
  volatile uint8_t* first = arena.Room(13);
  volatile uint8_t* second = arena.Room(8);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_DEATH((void)first[13], "use-after-poison");
  EXPECT_DEATH((void)second[8], "use-after-poison");
}
#endif

#ifndef _WIN32
// A chunk and its header fill one huge page exactly where it lies: a chunk
// off that boundary could never be given a huge page, and would fault in
// 4 KiB at a time again.
TEST(ChunkArena, AChunkLiesOnAHugePageBoundary) {
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  for (int k = 0; k < 12; ++k) {  // more than the freed chunks that are kept
    void* block = HeapTryAllocate(kHeapChunkSize);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ((reinterpret_cast<uintptr_t>(block) + kHeapChunkSize) % kHugePage, 0u);
    HeapRelease(block);
  }
}
#endif

}  // namespace
}  // namespace vantorico
