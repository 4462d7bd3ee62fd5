#include "base/dbcs.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantorico {
namespace {

// Puts the process's rules back after each case.
class Dbcs : public ::testing::Test {
 protected:
  void TearDown() override { SetActiveLeadBytes(SystemLeadBytes()); }
};

TEST_F(Dbcs, LastBackslashFollowsTheCodePage) {
  struct Case {
    uint32_t codePage;
    const char* path;
    ptrdiff_t lastSeparator;
  };
  const Case cases[] = {
      // GBK: 81 5C is one character, so its 5C is no separator.
      {936, "C:\\d\\\x81\x5C" "a\\x.exe", 8},
      {936, "\x81\x5C", -1},
      // 1252: é (E9) is a character of its own; under GBK it would swallow the backslash.
      {1252, "C:\\Programme\\Caf\xE9\\VantorICO.exe", 17},
      {936, "C:\\Programme\\Caf\xE9\\VantorICO.exe", 12},
      // 932: B6 is single-byte katakana, 83 5C a double-byte character.
      {932, "C:\\\xB6\\x.exe", 4},
      {932, "C:\\\x83\x5C\\x.exe", 5},
      {936, "C:\\\xB6\\x.exe", 2},
  };
  for (const Case& c : cases) {
    SetActiveLeadBytes(LeadBytes::ForCodePage(c.codePage));
    EXPECT_EQ(FindLastSingleByte(c.path, '\\'), c.lastSeparator)
        << "code page " << c.codePage << ": " << c.path;
  }
}

TEST_F(Dbcs, LoneLeadByteBeforeTheEndCountsAsOneByte) {
  SetActiveLeadBytes(LeadBytes::ForCodePage(936));
  std::vector<size_t> seen;
  ForEachSingleByte("ab\x81", '\x81', [&](size_t at) { seen.push_back(at); });
  EXPECT_EQ(seen, std::vector<size_t>{2});
  EXPECT_EQ(FindLastSingleByte(nullptr, '\\'), -1);
}

TEST_F(Dbcs, PipesAfterLeadBytesAreSkippedOnlyWhereTheyAreTrailBytes) {
  const char filter[] = "\xB1\x7C|*.exe|";
  std::vector<size_t> gbk, western;
  SetActiveLeadBytes(LeadBytes::ForCodePage(936));
  ForEachSingleByte(filter, '|', [&](size_t at) { gbk.push_back(at); });
  SetActiveLeadBytes(LeadBytes::ForCodePage(1252));
  ForEachSingleByte(filter, '|', [&](size_t at) { western.push_back(at); });
  EXPECT_EQ(gbk, (std::vector<size_t>{2, 8}));
  EXPECT_EQ(western, (std::vector<size_t>{1, 2, 8}));
}

}  // namespace
}  // namespace vantorico
