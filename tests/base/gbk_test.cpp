#include "base/gbk.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantorico {
namespace {

TEST(Gbk, TrailByte5CIsNotABackslash) {
  // C:\d\ then a directory whose name is the double-byte character 81 5C plus "a".
  const char path[] =
      "C:\\d\\\x81\x5C"
      "a\\x.exe";
  EXPECT_EQ(FindLastSingleByte(path, '\\'), 8);
  const char only_trail[] = "\x81\x5C";
  EXPECT_EQ(FindLastSingleByte(only_trail, '\\'), -1);
}

TEST(Gbk, LoneLeadByteBeforeTheEndCountsAsOneByte) {
  const char text[] = "ab\x81";
  std::vector<size_t> seen;
  ForEachSingleByte(text, '\x81', [&](size_t at) { seen.push_back(at); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], 2u);
  EXPECT_EQ(FindLastSingleByte(nullptr, '\\'), -1);
}

TEST(Gbk, PipesAfterLeadBytesAreSkipped) {
  const char filter[] = "\xB1\x7C|*.exe|";
  std::vector<size_t> seen;
  ForEachSingleByte(filter, '|', [&](size_t at) { seen.push_back(at); });
  EXPECT_EQ(seen, (std::vector<size_t>{2, 8}));
}

}  // namespace
}  // namespace vantorico
