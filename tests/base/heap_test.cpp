#include "base/heap.h"

#include <gtest/gtest.h>

namespace vantorico {
namespace {

TEST(Heap, CountsLiveBlocksAndBytes) {
  const HeapCounters before = GetHeapCounters();
  void* a = HeapTryAllocate(10);
  void* b = HeapTryAllocate(0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  HeapCounters during = GetHeapCounters();
  EXPECT_EQ(during.liveBlocks - before.liveBlocks, 2u);
  EXPECT_EQ(during.liveBytes - before.liveBytes, 10u);
  HeapRelease(a);
  HeapRelease(b);
  HeapRelease(nullptr);
  HeapCounters after = GetHeapCounters();
  EXPECT_EQ(after.liveBlocks, before.liveBlocks);
  EXPECT_EQ(after.liveBytes, before.liveBytes);
}

TEST(Heap, InjectedFailureAndHugeRequestsGiveNull) {
  SetHeapFailureAfter(1);
  void* first = HeapTryAllocate(4);
  void* second = HeapTryAllocate(4);
  SetHeapFailureAfter(-1);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(second, nullptr);
  HeapRelease(first);
  EXPECT_EQ(HeapTryAllocate(SIZE_MAX), nullptr);
}

}  // namespace
}  // namespace vantorico
