#include "shell/style/alignment_code.h"

#include <gtest/gtest.h>

namespace vantorico::style {
namespace {

TEST(AlignmentCode, ListedBitsGiveTheirCode) {
  EXPECT_EQ(AlignmentCodeOf(0x500), kAlignTopLeft);
  EXPECT_EQ(AlignmentCodeOf(0x700), kAlignTopCentre);
  EXPECT_EQ(AlignmentCodeOf(0x600), kAlignTopRight);
  EXPECT_EQ(AlignmentCodeOf(0xD00), kAlignMiddleLeft);
  EXPECT_EQ(AlignmentCodeOf(0xE00), kAlignMiddleRight);
  EXPECT_EQ(AlignmentCodeOf(0x900), kAlignBottomLeft);
  EXPECT_EQ(AlignmentCodeOf(0xB00), kAlignBottomCentre);
  EXPECT_EQ(AlignmentCodeOf(0xA00), kAlignBottomRight);
  EXPECT_EQ(static_cast<int>(kAlignBottomRight), 256);
  EXPECT_EQ(static_cast<int>(kAlignMiddleLeft), 8);
}

TEST(AlignmentCode, OnlyTheAlignmentBitsCount) {
  EXPECT_EQ(AlignmentCodeOf(0x50010500), kAlignTopLeft);
  EXPECT_EQ(AlignmentCodeOf(0x500 | 0xF0FF), kAlignTopLeft);
  EXPECT_EQ(AlignmentCodeOf(0x50010A0B), kAlignBottomRight);
}

TEST(AlignmentCode, EverythingElseIsMiddleCentre) {
  for (uint32_t bits : {0x000u, 0x100u, 0x200u, 0x300u, 0x400u, 0x800u, 0xC00u, 0xF00u}) {
    EXPECT_EQ(AlignmentCodeOf(bits), kAlignMiddleCentre) << std::hex << bits;
  }
}

}  // namespace
}  // namespace vantorico::style
