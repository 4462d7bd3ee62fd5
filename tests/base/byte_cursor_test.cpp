#include "base/byte_cursor.h"

#include <gtest/gtest.h>

namespace vantorico {
namespace {

TEST(ByteCursor, ReadsLittleEndianAndStopsAtTheEnd) {
  const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
  ByteCursor c(bytes, sizeof bytes);
  uint16_t a;
  uint32_t b;
  ASSERT_TRUE(c.ReadU16(&a));
  EXPECT_EQ(a, 0x0201);
  ASSERT_TRUE(c.ReadU32(&b));
  EXPECT_EQ(b, 0x06050403u);
  EXPECT_EQ(c.remaining(), 1u);
  // A read that would cross the end fails and does not move the cursor.
  EXPECT_FALSE(c.ReadU16(&a));
  EXPECT_EQ(c.position(), 6u);
  uint8_t last;
  EXPECT_TRUE(c.ReadU8(&last));
  EXPECT_EQ(last, 7);
  EXPECT_FALSE(c.ReadU8(&last));
}

TEST(ByteCursor, SlicesRefuseRangesThatOverflow) {
  const uint8_t bytes[8] = {};
  ByteSpan span(bytes, sizeof bytes);
  ByteSpan out;
  EXPECT_TRUE(span.Slice(8, 0, &out));
  EXPECT_FALSE(span.Slice(9, 0, &out));
  EXPECT_FALSE(span.Slice(4, 5, &out));
  EXPECT_FALSE(span.Slice(1, SIZE_MAX, &out));
  EXPECT_FALSE(span.Slice(SIZE_MAX, 2, &out));
  ByteCursor c(span);
  EXPECT_FALSE(c.Seek(9));
  EXPECT_TRUE(c.Seek(8));
  EXPECT_FALSE(c.Skip(1));
  uint32_t v;
  EXPECT_FALSE(c.PeekU32At(5, &v));
  EXPECT_TRUE(c.PeekU32At(4, &v));
}

TEST(ByteCursor, SignedReadsKeepTheSign) {
  const uint8_t bytes[] = {0xFE, 0xFF, 0xFF, 0xFF, 0xFB, 0xFF};
  ByteCursor c(bytes, sizeof bytes);
  int32_t a;
  int16_t b;
  ASSERT_TRUE(c.ReadS32(&a));
  ASSERT_TRUE(c.ReadS16(&b));
  EXPECT_EQ(a, -2);
  EXPECT_EQ(b, -5);
}

}  // namespace
}  // namespace vantorico
