#include "runtime/core/texts.h"

#include <gtest/gtest.h>

#include <string>

#include "base/heap.h"
#include "runtime/core/memory.h"

namespace vantorico {
namespace {

TEST(NewText, CopiesAndGivesNullForEmpty) {
  const uint64_t before = GetHeapCounters().totalAllocations;
  EXPECT_EQ(NewText(nullptr), nullptr);
  EXPECT_EQ(NewText(""), nullptr);
  EXPECT_EQ(GetHeapCounters().totalAllocations, before);
  const char source[] = "提取完成";
  char* copy = NewText(source);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, source);
  EXPECT_STREQ(copy, source);
  FreeMemory(copy);
}

TEST(TextLength, CountsBytesAtEveryAlignment) {
  EXPECT_EQ(TextLength(nullptr), 0u);
  // Every start offset and length across several words, so both the byte
  // prologue and the word scan are exercised, with a zero in each lane.
  alignas(8) char buffer[40];
  for (size_t start = 0; start < 8; ++start) {
    for (size_t len = 0; len < 24; ++len) {
      for (size_t i = 0; i < sizeof buffer; ++i) buffer[i] = static_cast<char>(0x80 | i);
      buffer[start + len] = '\0';
      EXPECT_EQ(TextLength(buffer + start), len) << "start " << start << " len " << len;
    }
  }
}

TEST(ConcatTexts, JoinsPartsInOneAllocation) {
  const uint64_t before = GetHeapCounters().totalAllocations;
  char* name = ConcatTexts(4, "C:\\Tools", "\\", "12", ".ico");
  EXPECT_EQ(GetHeapCounters().totalAllocations, before + 1);
  EXPECT_STREQ(name, "C:\\Tools\\12.ico");
  FreeMemory(name);

  char* with_null = ConcatTexts(3, "a", static_cast<const char*>(nullptr), "b");
  EXPECT_STREQ(with_null, "ab");
  FreeMemory(with_null);

  char* empty = ConcatTexts(2, static_cast<const char*>(nullptr), "");
  ASSERT_NE(empty, nullptr);
  EXPECT_STREQ(empty, "");
  FreeMemory(empty);
}

TEST(ConcatTexts, ManyPartsBeyondTheInlineLengths) {
  const char* parts[40];
  std::string expected;
  for (int i = 0; i < 40; ++i) {
    parts[i] = (i % 3 == 0) ? "xy" : "z";
    expected += parts[i];
  }
  char* joined = ConcatTextArray(40, parts);
  EXPECT_EQ(std::string(joined), expected);
  FreeMemory(joined);
}

TEST(FreeMemory, NullAndConstantDataAreLeftAlone) {
  static const char kConstantBlock[] = "常量数据块";
  RegisterNoFreeRange(kConstantBlock, kConstantBlock + sizeof kConstantBlock);
  const HeapCounters before = GetHeapCounters();
  FreeMemory(nullptr);
  FreeMemory(kConstantBlock);
  FreeMemory(kConstantBlock + 4);
  EXPECT_EQ(GetHeapCounters().liveBlocks, before.liveBlocks);
  EXPECT_TRUE(IsInNoFreeRange(kConstantBlock + sizeof kConstantBlock - 1));
  EXPECT_FALSE(IsInNoFreeRange(kConstantBlock + sizeof kConstantBlock));
}

// The Windows build shows the error box first; its own test closes it.
#ifndef _WIN32
TEST(AllocateMemoryDeathTest, FailureIsTheFatalRuntimeError) {
  EXPECT_EXIT(
      {
        SetHeapFailureAfter(0);
        AllocateMemory(12345);
      },
      testing::ExitedWithCode(255), "分配 12345 字节内存失败!");
}
#endif

}  // namespace
}  // namespace vantorico
