// The main-icon rule (RetDec's, after YARA's) on hand-made groups, and the
// average hash against an independent computation through Pillow.
#include "iconlib/images/main_icon.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

MainIconEntry E(uint8_t w, uint8_t h, uint16_t bits, uint32_t order, bool present = true) {
  MainIconEntry e;
  e.width = w;
  e.height = h;
  e.bitCount = bits;
  e.order = order;
  e.present = present;
  return e;
}

TEST(MainIcon, ChoiceFollowsThePriorityList) {
  struct Case {
    const char* why;
    std::vector<MainIconEntry> entries;
    MainIconReason reason;
    size_t entry;
    size_t priority;
  };
  const Case cases[] = {
      {"32x32 32-bit is first in the list, wherever it stands",
       {E(16, 16, 32, 0), E(48, 48, 32, 1), E(32, 32, 32, 2)},
       MainIconReason::Priority,
       2,
       0},
      {"24x24 32-bit (second) beats 48x48 32-bit (third)",
       {E(48, 48, 32, 0), E(24, 24, 32, 1)},
       MainIconReason::Priority,
       1,
       1},
      {"depth counts: 32x32 8-bit (fourth) loses to 48x48 32-bit (third)",
       {E(32, 32, 8, 0), E(48, 48, 32, 1)},
       MainIconReason::Priority,
       1,
       2},
      {"a 4-bit image is in no pair, 16x16 8-bit is",
       {E(32, 32, 4, 0), E(16, 16, 8, 1)},
       MainIconReason::Priority,
       1,
       8},
      {"a wide entry is never ranked, even of a listed width",
       {E(32, 16, 32, 0), E(64, 64, 8, 1)},
       MainIconReason::Priority,
       1,
       9},
      {"equals: the earlier RT_ICON in the directory, not the earlier entry",
       {E(32, 32, 32, 7), E(32, 32, 32, 3)},
       MainIconReason::Priority,
       1,
       0},
      {"the same RT_ICON twice: the first entry",
       {E(32, 32, 32, 3), E(32, 32, 32, 3)},
       MainIconReason::Priority,
       0,
       0},
      {"an entry whose image is missing is passed over",
       {E(32, 32, 32, 0, false), E(16, 16, 32, 1)},
       MainIconReason::Priority,
       1,
       4},
      {"256 is stored as 0 and so never matches 256 in the list",
       {E(0, 0, 32, 0), E(128, 128, 8, 1)},
       MainIconReason::Priority,
       1,
       13},
      {"nothing listed: the first present RT_ICON in the directory",
       {E(20, 20, 32, 5), E(0, 0, 32, 2), E(33, 33, 4, 9)},
       MainIconReason::FirstPresent,
       1,
       16},
      {"nothing present", {E(32, 32, 32, 0, false)}, MainIconReason::None, 0, 0},
      {"no entries", {}, MainIconReason::None, 0, 0},
  };
  for (const Case& c : cases) {
    const MainIconChoice got = ChooseMainIcon(c.entries);
    EXPECT_EQ(got.reason, c.reason) << c.why;
    if (c.reason == MainIconReason::None) continue;
    EXPECT_EQ(got.entry, c.entry) << c.why;
    if (c.reason == MainIconReason::Priority) {
      EXPECT_EQ(got.priority, c.priority) << c.why;
    }
  }
  EXPECT_EQ(MainIconPriorityCount(), 16u);
}

// An opaque 32-bit DIB of a pattern with light and dark regions.
Bytes PatternDib(int32_t side, int seed) {
  Bytes dib = MakeDib(side, side, 32, 0);
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t x = 0; x < side; ++x) {
      const size_t at = 40 + (size_t(y) * side + x) * 4;
      dib[at] = static_cast<uint8_t>((x * 37 + y * seed) & 0xFF);
      dib[at + 1] = static_cast<uint8_t>(((x ^ y) * 23 + seed) & 0xFF);
      dib[at + 2] = static_cast<uint8_t>((y * 51 + x * 3) & 0xFF);
      dib[at + 3] = 0xFF;
    }
  }
  return dib;
}

TEST(MainIcon, AverageHashRefusesWhatRetDecRefuses) {
  uint64_t hash = 0;
  Bytes small = PatternDib(4, 1);  // under 8 x 8
  EXPECT_FALSE(AverageHashOf(ByteSpan(small.data(), small.size()), nullptr, &hash));
  Bytes cut = PatternDib(16, 1);
  cut.resize(cut.size() / 2);  // rows past the end
  EXPECT_FALSE(AverageHashOf(ByteSpan(cut.data(), cut.size()), nullptr, &hash));
  Bytes wide = MakeDib(32, 16, 32, 0);  // the height not twice the width
  EXPECT_FALSE(AverageHashOf(ByteSpan(wide.data(), wide.size()), nullptr, &hash));
  Bytes fine = PatternDib(16, 1);
  EXPECT_TRUE(AverageHashOf(ByteSpan(fine.data(), fine.size()), nullptr, &hash));
  EXPECT_EQ(AverageHashText(0x0123456789abcdefull), "0123456789abcdef");
}

#ifndef _WIN32
TEST(MainIcon, AverageHashEqualsPillowsComputation) {
  VANTORICO_REQUIRE_INPUT(std::system("/usr/bin/python3 -c 'import PIL' 2>/dev/null") == 0,
                          "Debian's python3-pil");
  ScratchDir dir("main_icon_hash");
  // 20 and 21 give boxes of unequal widths; 48 and 16 of equal ones.
  for (int32_t side : {16, 20, 21, 32, 48}) {
    for (int seed : {1, 90}) {
      const Bytes dib = PatternDib(side, seed);
      uint64_t hash = 0;
      ASSERT_TRUE(AverageHashOf(ByteSpan(dib.data(), dib.size()), nullptr, &hash)) << side;
      const std::string ico = dir.Path("p.ico");
      ASSERT_TRUE(WriteWholeFile(ico, MakeIconFile({dib})));
      const std::string command = "/usr/bin/python3 '" + std::string(VANTORICO_SOURCE_DIR) +
                                  "/tests/iconlib/average_hash.py' '" + ico + "' > '" +
                                  dir.Path("out") + "'";
      ASSERT_EQ(std::system(command.c_str()), 0);
      Bytes out;
      ASSERT_TRUE(ReadWholeFile(dir.Path("out"), &out));
      EXPECT_EQ(std::string(out.begin(), out.end()), AverageHashText(hash) + "\n")
          << side << " " << seed;
      EXPECT_NE(hash, 0u) << side;
      EXPECT_NE(hash, ~uint64_t{0}) << side;
    }
  }
}
#endif

}  // namespace
}  // namespace vantorico
