#include "shell/style/caption_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantorico::style {
namespace {

// Single bytes are 6 pixels wide, double-byte characters 12; a lone lead byte
// or a split character would show up as a 6.
int FakeWidth(std::string_view c) {
  return c.size() == 2 ? 12 : 6;
}

constexpr int kLine = 10;

std::string LineText(std::string_view caption, const CaptionLine& line) {
  return std::string(caption.substr(line.offset, line.length));
}

TEST(LayoutCaption, SingleLineIsCentredInTheMiddle) {
  const std::string caption = "abc";
  const CaptionLayout l = LayoutCaption(caption, 60, 30, kAlignMiddleCentre, kLine, FakeWidth);
  ASSERT_EQ(l.lines.size(), 1u);
  EXPECT_EQ(LineText(caption, l.lines[0]), "abc");
  EXPECT_EQ(l.lines[0].width, 18);
  EXPECT_EQ(l.lines[0].x, (60 - 18) / 2);
  EXPECT_EQ(l.lines[0].y, (30 - 10) / 2);
  EXPECT_EQ(l.widestWidth, 18);
  EXPECT_EQ(l.blockHeight, 10);
}

TEST(LayoutCaption, CrLfCutsLines) {
  const std::string caption = "ab\r\ncdef";
  const CaptionLayout l = LayoutCaption(caption, 100, 40, kAlignTopLeft, kLine, FakeWidth);
  ASSERT_EQ(l.lines.size(), 2u);
  EXPECT_EQ(LineText(caption, l.lines[0]), "ab");
  EXPECT_EQ(LineText(caption, l.lines[1]), "cdef");
  EXPECT_EQ(l.lines[0].y, 0);
  EXPECT_EQ(l.lines[1].y, kLine);
  EXPECT_EQ(l.widestWidth, 24);
  EXPECT_EQ(l.blockHeight, 20);
}

TEST(LayoutCaption, LoneCrOrLfIsAnOrdinaryCharacter) {
  const std::string caption = "a\rb\nc";
  const CaptionLayout l = LayoutCaption(caption, 100, 40, kAlignTopLeft, kLine, FakeWidth);
  ASSERT_EQ(l.lines.size(), 1u);
  EXPECT_EQ(l.lines[0].width, 30);
}

TEST(LayoutCaption, CutsBeforeTheCharacterThatWouldOverflow) {
  const std::string caption = "abcdefg";  // 42 pixels in a 20-pixel rectangle
  const CaptionLayout l = LayoutCaption(caption, 20, 100, kAlignTopLeft, kLine, FakeWidth);
  ASSERT_EQ(l.lines.size(), 3u);
  EXPECT_EQ(LineText(caption, l.lines[0]), "abc");
  EXPECT_EQ(LineText(caption, l.lines[1]), "def");
  EXPECT_EQ(LineText(caption, l.lines[2]), "g");
}

TEST(LayoutCaption, DoubleByteCharactersStayWhole) {
  const std::string caption = "提取图标";  // four GBK characters of 12 pixels
  const CaptionLayout l = LayoutCaption(caption, 30, 100, kAlignTopLeft, kLine, FakeWidth);
  ASSERT_EQ(l.lines.size(), 2u);
  EXPECT_EQ(l.lines[0].length, 4u);
  EXPECT_EQ(l.lines[0].width, 24);
  EXPECT_EQ(LineText(caption, l.lines[1]), caption.substr(4));
  // A second byte of 0x5C or '&' is not taken for a character of its own.
  const std::string tricky = "\x81\x26x";
  const CaptionLayout t = LayoutCaption(tricky, 100, 20, kAlignTopLeft, kLine, FakeWidth);
  ASSERT_EQ(t.lines.size(), 1u);
  EXPECT_EQ(t.lines[0].width, 18);
  // The rule is "above 128", not the code page's lead bytes: 0xFF pairs (GBK
  // has no such lead byte), 0x80 stands alone, and a pair cut by the end is
  // one byte. In a rectangle one single byte wide every character is a line.
  struct Case {
    std::string caption;
    std::vector<size_t> lineLengths;
  } cases[] = {{"\xFFz", {2}}, {"\x80z", {1, 1}}, {"z\x81", {1, 1}}, {"\x81zz", {2, 1}}};
  for (const Case& c : cases) {
    const CaptionLayout narrow = LayoutCaption(c.caption, 6, 100, kAlignTopLeft, kLine, FakeWidth);
    std::vector<size_t> lengths;
    for (const CaptionLine& line : narrow.lines) lengths.push_back(line.length);
    EXPECT_EQ(lengths, c.lineLengths) << testing::PrintToString(c.caption);
  }
}

TEST(LayoutCaption, FirstAmpersandIsNotMeasured) {
  const CaptionLayout one = LayoutCaption("&Open", 100, 20, kAlignTopLeft, kLine, FakeWidth);
  EXPECT_EQ(one.lines[0].width, 24);
  EXPECT_EQ(one.lines[0].length, 5u);
  // "&&" draws one '&': the second is measured and clears the mark.
  const CaptionLayout two = LayoutCaption("a&&b", 100, 20, kAlignTopLeft, kLine, FakeWidth);
  EXPECT_EQ(two.lines[0].width, 18);
  // After a marked character the next '&' marks again.
  const CaptionLayout three = LayoutCaption("&a&b", 100, 20, kAlignTopLeft, kLine, FakeWidth);
  EXPECT_EQ(three.lines[0].width, 12);
}

TEST(LayoutCaption, PlacementFollowsTheAlignmentCode) {
  const std::string caption = "ab\r\nabcd";  // widths 12 and 24, two lines
  struct Case {
    AlignmentCode code;
    int x0, x1, top;
  } cases[] = {
      {kAlignTopLeft, 0, 0, 0},         {kAlignTopCentre, 44, 38, 0},
      {kAlignTopRight, 88, 76, 0},      {kAlignMiddleLeft, 0, 0, 15},
      {kAlignMiddleCentre, 44, 38, 15}, {kAlignMiddleRight, 88, 76, 15},
      {kAlignBottomLeft, 0, 0, 30},     {kAlignBottomCentre, 44, 38, 30},
      {kAlignBottomRight, 88, 76, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.code));
    const CaptionLayout l = LayoutCaption(caption, 100, 50, c.code, kLine, FakeWidth);
    ASSERT_EQ(l.lines.size(), 2u);
    EXPECT_EQ(l.lines[0].x, c.x0);
    EXPECT_EQ(l.lines[1].x, c.x1);
    EXPECT_EQ(l.lines[0].y, c.top);
    EXPECT_EQ(l.lines[1].y, c.top + kLine);
  }
}

TEST(LayoutCaption, BlockHeightIsCappedByTheRectangle) {
  const CaptionLayout l =
      LayoutCaption("a\r\nb\r\nc", 100, 25, kAlignMiddleCentre, kLine, FakeWidth);
  EXPECT_EQ(l.lines.size(), 3u);
  EXPECT_EQ(l.blockHeight, 25);
  EXPECT_EQ(l.lines[0].y, 0);
}

TEST(LayoutCaption, EmptyCaptionHasNoLines) {
  const CaptionLayout l = LayoutCaption("", 100, 25, kAlignMiddleCentre, kLine, FakeWidth);
  EXPECT_TRUE(l.lines.empty());
  EXPECT_EQ(l.blockHeight, 0);
  EXPECT_EQ(l.widestWidth, 0);
}

}  // namespace
}  // namespace vantorico::style
