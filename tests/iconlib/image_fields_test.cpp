// The fields each image derives from its own bytes, and the DIB arithmetic.
#include <gtest/gtest.h>

#include "iconlib/formats/dib_arithmetic.h"
#include "iconlib/formats/image_fields.h"
#include "test_support.h"

namespace vantorico {
namespace {

using testing::Bytes;
using testing::MakeDib;
using testing::MakePng;
using testing::PutU32;

DibHeader HeaderOf(const Bytes& b) {
  DibHeader h{};
  EXPECT_TRUE(ReadDibHeader(ByteSpan(b.data(), b.size()), &h));
  return h;
}

IconImageEntry EntryOver(Bytes* b) {
  IconImageEntry e{};
  e.data = b->data();
  e.dataSize = static_cast<uint32_t>(b->size());
  EXPECT_TRUE(DeriveImageFields(&e));
  return e;
}

TEST(DibArithmetic, ColorCountByBitCountWhenClrUsedIsZero) {
  const struct {
    uint16_t bits;
    uint32_t colors;
  } cases[] = {{1, 2}, {4, 16}, {8, 256}, {16, 0}, {24, 0}, {32, 0}, {2, 0}};
  for (const auto& c : cases) {
    Bytes b = MakeDib(16, 16, c.bits, 0);
    EXPECT_EQ(DibColorCount(HeaderOf(b)), c.colors) << c.bits;
    EXPECT_EQ(DibPaletteSize(HeaderOf(b)), c.colors * 4) << c.bits;
  }
}

TEST(DibArithmetic, ClrUsedWinsAndPaletteKeepsLow16Bits) {
  Bytes b = MakeDib(16, 16, 8, 0);
  PutU32(&b, 32, 3);
  EXPECT_EQ(DibColorCount(HeaderOf(b)), 3u);
  EXPECT_EQ(DibPaletteSize(HeaderOf(b)), 12u);
  PutU32(&b, 32, 0x4001);  // x4 = 0x10004, low 16 bits 4
  EXPECT_EQ(DibPaletteSize(HeaderOf(b)), 4u);
}

TEST(DibArithmetic, RowStridePadsToFourBytes) {
  EXPECT_EQ(DibRowStride(HeaderOf(MakeDib(32, 32, 4, 16))), 16);
  EXPECT_EQ(DibRowStride(HeaderOf(MakeDib(16, 16, 4, 16))), 8);
  EXPECT_EQ(DibRowStride(HeaderOf(MakeDib(16, 16, 1, 2))), 4);
  EXPECT_EQ(DibRowStride(HeaderOf(MakeDib(3, 3, 24, 0))), 12);
  EXPECT_EQ(DibRowStride(HeaderOf(MakeDib(10, 2, 4, 0, 2))), 12);  // planes count too
}

TEST(DibArithmetic, HalvedHeightTruncatesTowardZero) {
  EXPECT_EQ(HalvedHeight(64), 32);
  EXPECT_EQ(HalvedHeight(33), 16);
  EXPECT_EQ(HalvedHeight(-33), -16);
}

TEST(DeriveImageFields, SixteenBySixteenFourBitLayout) {
  Bytes b = MakeDib(16, 16, 4, 16);
  ASSERT_EQ(b.size(), 296u);
  const IconImageEntry e = EntryOver(&b);
  EXPECT_EQ(e.width, 16);
  EXPECT_EQ(e.height, 16);
  EXPECT_EQ(e.bitDepth, 4u);
  EXPECT_EQ(e.header, b.data());
  EXPECT_EQ(e.colorBits - b.data(), 104);
  EXPECT_EQ(e.maskBits - b.data(), 232);
}

TEST(DeriveImageFields, StoredHeight33GivesSixteen) {
  Bytes b = MakeDib(16, 17, 1, 2);
  PutU32(&b, 8, 33);
  EXPECT_EQ(EntryOver(&b).height, 16);
}

TEST(DeriveImageFields, NoEntryIsFalse) {
  EXPECT_FALSE(DeriveImageFields(nullptr));
}

TEST(DeriveImageFields, ImagesThatDoNotFitAreCleared) {
  Bytes full = MakeDib(32, 32, 4, 16);
  std::vector<Bytes> broken;
  broken.push_back(Bytes(full.begin(), full.begin() + 39));   // short of a header
  broken.push_back(Bytes(full.begin(), full.begin() + 100));  // palette cut
  // Rows cut: header + palette + half the colour rows.
  broken.push_back(Bytes(full.begin(), full.begin() + 40 + 64 + 16 * 16));
  Bytes huge_height = full;
  PutU32(&huge_height, 8, 0x7FFFFFFE);
  broken.push_back(huge_height);
  Bytes huge_width = full;
  PutU32(&huge_width, 4, 0x7FFFFFFF);
  broken.push_back(huge_width);
  Bytes negative = full;
  PutU32(&negative, 8, static_cast<uint32_t>(-64));
  broken.push_back(negative);
  Bytes small_bisize = full;
  PutU32(&small_bisize, 0, 12);
  broken.push_back(small_bisize);
  for (size_t i = 0; i < broken.size(); ++i) {
    const IconImageEntry e = EntryOver(&broken[i]);
    EXPECT_FALSE(IsDescribedDib(e)) << i;
    EXPECT_EQ(e.width, 0) << i;
    EXPECT_EQ(e.height, 0) << i;
    EXPECT_EQ(e.bitDepth, 0u) << i;
    EXPECT_EQ(e.colorBits, nullptr) << i;
    EXPECT_EQ(e.maskBits, nullptr) << i;
  }
}

TEST(DeriveImageFields, MaskMayEndExactlyAtTheEnd) {
  Bytes b = MakeDib(32, 32, 4, 16);
  b.resize(40 + 64 + 16 * 32);  // no mask at all
  const IconImageEntry e = EntryOver(&b);
  ASSERT_TRUE(IsDescribedDib(e));
  EXPECT_EQ(static_cast<size_t>(e.maskBits - b.data()), b.size());
}

TEST(DeriveImageFields, PngTakesIhdr) {
  const struct {
    uint32_t size;
    uint8_t depth, type;
    uint32_t bits;
  } cases[] = {{256, 8, 6, 32}, {48, 8, 2, 24}, {32, 8, 0, 8}, {16, 4, 3, 4}, {64, 16, 4, 32}};
  for (const auto& c : cases) {
    Bytes b = MakePng(c.size, c.size + 1, c.depth, c.type);
    const IconImageEntry e = EntryOver(&b);
    EXPECT_TRUE(IsPngEntry(e));
    EXPECT_FALSE(IsDescribedDib(e));
    EXPECT_EQ(e.width, static_cast<int32_t>(c.size));
    EXPECT_EQ(e.height, static_cast<int32_t>(c.size + 1));
    EXPECT_EQ(e.bitDepth, c.bits);
  }
}

TEST(DeriveImageFields, PngWithoutIhdrIsClearedButStillPng) {
  Bytes b = MakePng(256, 256);
  b[12] = 'X';
  IconImageEntry e = EntryOver(&b);
  EXPECT_TRUE(IsPngEntry(e));
  EXPECT_EQ(e.width, 0);
  Bytes cut(b.begin(), b.begin() + 20);
  e = EntryOver(&cut);
  EXPECT_TRUE(IsPngEntry(e));
  EXPECT_EQ(e.width, 0);
}

}  // namespace
}  // namespace vantorico
