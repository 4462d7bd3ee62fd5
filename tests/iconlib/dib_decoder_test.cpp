// The DIB decoder on hand-built images: what each depth and layout decodes
// to, and every hostile header refused with its own error before anything
// is allocated.
#include "iconlib/images/dib_decoder.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "test_support.h"

namespace vantorico {
namespace {

using testing::Bytes;
using testing::MakeDib;
using testing::PutU16;
using testing::PutU32;

DibDecodeResult Decode(const Bytes& b) {
  return DecodeDib(ByteSpan(b.data(), b.size()));
}

// Builds a DIB from explicit parts: header fields, palette, rows, mask rows.
struct DibParts {
  int32_t width = 2;
  int32_t storedHeight = 4;
  uint16_t bits = 1;
  uint32_t compression = 0;
  uint32_t clrUsed = 0;
  Bytes extra;  // BI_BITFIELDS masks
  Bytes palette;
  Bytes rows;
  Bytes mask;
};

Bytes Build(const DibParts& p) {
  Bytes b(40, 0);
  PutU32(&b, 0, 40);
  PutU32(&b, 4, static_cast<uint32_t>(p.width));
  PutU32(&b, 8, static_cast<uint32_t>(p.storedHeight));
  PutU16(&b, 12, 1);
  PutU16(&b, 14, p.bits);
  PutU32(&b, 16, p.compression);
  PutU32(&b, 32, p.clrUsed);
  for (const Bytes* part : {&p.extra, &p.palette, &p.rows, &p.mask})
    b.insert(b.end(), part->begin(), part->end());
  return b;
}

std::vector<uint8_t> Rgba(std::initializer_list<uint32_t> pixels) {
  std::vector<uint8_t> out;
  for (uint32_t p : pixels) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(p >> s));
  }
  return out;
}

TEST(DibDecoder, OneBitBottomUpWithMask) {
  DibParts p;
  p.palette = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};  // black, white
  // Stored bottom row first: bottom row "white black", top row "black white".
  p.rows = {0x80, 0, 0, 0, 0x40, 0, 0, 0};
  // Mask: the bottom-left pixel is transparent.
  p.mask = {0x80, 0, 0, 0, 0x00, 0, 0, 0};
  const DibDecodeResult r = Decode(Build(p));
  ASSERT_TRUE(r.ok()) << DibDecodeErrorName(r.error);
  EXPECT_EQ(r.image.width, 2u);
  EXPECT_EQ(r.image.height, 2u);
  EXPECT_EQ(r.image.pixels, Rgba({0x000000FF, 0xFFFFFFFF, 0xFFFFFF00, 0x000000FF}));
}

TEST(DibDecoder, TopDownReadsRowsInStoredOrder) {
  DibParts p;
  p.storedHeight = -4;
  p.palette = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
  p.rows = {0x80, 0, 0, 0, 0x40, 0, 0, 0};  // top row first now
  p.mask = {0x80, 0, 0, 0, 0x00, 0, 0, 0};  // so is the mask
  const DibDecodeResult r = Decode(Build(p));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.pixels, Rgba({0xFFFFFF00, 0x000000FF, 0x000000FF, 0xFFFFFFFF}));
}

TEST(DibDecoder, FourBitIndexPastAShortPaletteIsBlack) {
  DibParts p;
  p.width = 3;
  p.storedHeight = 2;
  p.bits = 4;
  p.clrUsed = 2;
  p.palette = {0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0};
  p.rows = {0x01, 0x50, 0, 0};  // indexes 0, 1, 5
  p.mask = {0, 0, 0, 0};
  const DibDecodeResult r = Decode(Build(p));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.pixels, Rgba({0x302010FF, 0x605040FF, 0x000000FF}));
}

TEST(DibDecoder, TwentyFourBitsSkipRowPadding) {
  DibParts p;
  p.width = 3;  // 9 bytes of pixels, 3 of padding per row
  p.storedHeight = 4;
  p.bits = 24;
  p.rows = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,  // bottom
            10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};
  p.mask = {0x20, 0, 0, 0, 0, 0, 0, 0};  // bottom right transparent
  const DibDecodeResult r = Decode(Build(p));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.pixels, Rgba({0x0C0B0AFF, 0x0F0E0DFF, 0x121110FF,  //
                                  0x030201FF, 0x060504FF, 0x09080700}));
}

TEST(DibDecoder, SixteenBitsAre555UnlessBitfieldsSayOtherwise) {
  DibParts p;
  p.width = 2;
  p.storedHeight = 2;
  p.bits = 16;
  p.rows = {0xFF, 0x7F, 0x1F, 0x00};  // 0x7FFF white, 0x001F blue
  p.mask = {0, 0, 0, 0};
  DibDecodeResult r = Decode(Build(p));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.pixels, Rgba({0xFFFFFFFF, 0x0000FFFF}));

  p.compression = 3;  // 5-6-5
  p.extra = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  p.rows = {0x00, 0xF8, 0xE0, 0x07};  // 0xF800 red, 0x07E0 green
  r = Decode(Build(p));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.pixels, Rgba({0xFF0000FF, 0x00FF00FF}));
  // A middle value scales to 8 bits: 16 of 31 -> 132, 32 of 63 -> 130.
  p.rows = {0x00, 0x80, 0x00, 0x04};  // 0x8000 red 16; 0x0400 green 32
  r = Decode(Build(p));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.pixels, Rgba({0x840000FF, 0x008200FF}));
}

TEST(DibDecoder, ThirtyTwoBitsUseAlphaUnlessAllZero) {
  DibParts p;
  p.width = 2;
  p.storedHeight = 2;
  p.bits = 32;
  p.rows = {1, 2, 3, 0, 4, 5, 6, 0};  // BGRA, alpha all zero
  p.mask = {0x40, 0, 0, 0};           // second pixel transparent
  DibDecodeResult r = Decode(Build(p));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.pixels, Rgba({0x030201FF, 0x06050400}));

  p.rows = {1, 2, 3, 0, 4, 5, 6, 0x80};  // one alpha set: the mask is ignored
  r = Decode(Build(p));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.pixels, Rgba({0x03020100, 0x06050480}));
}

TEST(DibDecoder, BitfieldsThirtyTwoWithoutAlphaMaskUseTheAndMask) {
  DibParts p;
  p.width = 1;
  p.storedHeight = 2;
  p.bits = 32;
  p.compression = 3;
  p.extra = {0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0};  // R in the top byte
  p.rows = {0x11, 0x22, 0x33, 0x44};                        // 0x44332211
  p.mask = {0x80, 0, 0, 0};
  const DibDecodeResult r = Decode(Build(p));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.pixels, Rgba({0x44332200}));
}

TEST(DibDecoder, LongerHeadersAndOptimisingPalettesAreSkipped) {
  // A 24-bit image with a 108-byte header and a 3-entry palette before its rows.
  DibParts p;
  p.width = 1;
  p.storedHeight = 2;
  p.bits = 24;
  p.clrUsed = 3;
  p.palette = Bytes(12, 0xAA);
  p.rows = {0x01, 0x02, 0x03, 0};
  p.mask = {0, 0, 0, 0};
  Bytes b = Build(p);
  b.insert(b.begin() + 40, 68, 0x55);
  PutU32(&b, 0, 108);
  const DibDecodeResult r = Decode(b);
  ASSERT_TRUE(r.ok()) << DibDecodeErrorName(r.error);
  EXPECT_EQ(r.image.pixels, Rgba({0x030201FF}));
}

TEST(DibDecoder, EveryDepthOfTheEnginesTestImagesGivesWidthTimesHeightPixels) {
  for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
    const uint32_t colors = bits <= 8 ? 1u << bits : 0;
    const Bytes b = MakeDib(13, 7, bits, colors);
    const DibDecodeResult r = Decode(b);
    ASSERT_TRUE(r.ok()) << bits << ": " << DibDecodeErrorName(r.error);
    EXPECT_EQ(r.image.pixels.size(), 13u * 7 * 4);
  }
}

// Hostile headers. Each case starts from a valid 16 x 16 8-bit image
// (40 + 1024 + 256 + 64 bytes) and changes it.
struct Hostile {
  const char* name;
  void (*edit)(Bytes*);
  DibDecodeError error;
};

Bytes Valid() {
  return MakeDib(16, 16, 8, 256);
}
void SetBits(Bytes* b, uint16_t v) {
  PutU16(b, 14, v);
}

const Hostile kHostile[] = {
    {"39 bytes", [](Bytes* b) { b->resize(39); }, DibDecodeError::HeaderTruncated},
    {"empty", [](Bytes* b) { b->clear(); }, DibDecodeError::HeaderTruncated},
    {"biSize 39", [](Bytes* b) { PutU32(b, 0, 39); }, DibDecodeError::HeaderSizeTooSmall},
    {"biSize 0", [](Bytes* b) { PutU32(b, 0, 0); }, DibDecodeError::HeaderSizeTooSmall},
    {"biSize one past the data",
     [](Bytes* b) { PutU32(b, 0, static_cast<uint32_t>(b->size() + 1)); },
     DibDecodeError::HeaderPastData},
    {"biSize 0xFFFFFFFF", [](Bytes* b) { PutU32(b, 0, 0xFFFFFFFF); },
     DibDecodeError::HeaderPastData},
    {"0 bits", [](Bytes* b) { SetBits(b, 0); }, DibDecodeError::UnsupportedBitCount},
    {"3 bits", [](Bytes* b) { SetBits(b, 3); }, DibDecodeError::UnsupportedBitCount},
    {"5 bits", [](Bytes* b) { SetBits(b, 5); }, DibDecodeError::UnsupportedBitCount},
    {"64 bits", [](Bytes* b) { SetBits(b, 64); }, DibDecodeError::UnsupportedBitCount},
    {"65535 bits", [](Bytes* b) { SetBits(b, 0xFFFF); }, DibDecodeError::UnsupportedBitCount},
    {"BI_RLE8", [](Bytes* b) { PutU32(b, 16, 1); }, DibDecodeError::UnsupportedCompression},
    {"BI_PNG", [](Bytes* b) { PutU32(b, 16, 5); }, DibDecodeError::UnsupportedCompression},
    {"BI_BITFIELDS at 8 bits", [](Bytes* b) { PutU32(b, 16, 3); },
     DibDecodeError::UnsupportedCompression},
    {"width 0", [](Bytes* b) { PutU32(b, 4, 0); }, DibDecodeError::BadWidth},
    {"width -16", [](Bytes* b) { PutU32(b, 4, static_cast<uint32_t>(-16)); },
     DibDecodeError::BadWidth},
    {"width INT32_MIN", [](Bytes* b) { PutU32(b, 4, 0x80000000u); }, DibDecodeError::BadWidth},
    {"stored height 0", [](Bytes* b) { PutU32(b, 8, 0); }, DibDecodeError::BadHeight},
    {"stored height 1 (half is 0)", [](Bytes* b) { PutU32(b, 8, 1); }, DibDecodeError::BadHeight},
    {"stored height -1", [](Bytes* b) { PutU32(b, 8, 0xFFFFFFFF); }, DibDecodeError::BadHeight},
    // 65536 x 65536 x 4 bytes is 2^34: 0 in 32 bits.
    {"width x height x 4 wraps 32 bits",
     [](Bytes* b) {
       PutU32(b, 4, 65536);
       PutU32(b, 8, 2 * 65536);
     },
     DibDecodeError::ImageTooLarge},
    // 32 bits x (2^31 - 1) x 2^30 rows is 2^66 bits: past 64 bits.
    {"bits of the rows wrap 64 bits",
     [](Bytes* b) {
       SetBits(b, 32);
       PutU32(b, 4, 0x7FFFFFFF);
       PutU32(b, 8, 0x80000000u);  // INT32_MIN: top-down, 2^30 rows
     },
     DibDecodeError::ImageTooLarge},
    {"height INT32_MAX", [](Bytes* b) { PutU32(b, 8, 0x7FFFFFFF); }, DibDecodeError::ImageTooLarge},
    // Under the pixel cap but far past the bytes.
    {"8192 x 8192 at 1 bit in 1.4 KB",
     [](Bytes* b) {
       SetBits(b, 1);
       PutU32(b, 4, 8192);
       PutU32(b, 8, 2 * 8192);
     },
     DibDecodeError::ColorRowsPastData},
    {"biClrUsed 0xFFFFFFFF", [](Bytes* b) { PutU32(b, 32, 0xFFFFFFFF); },
     DibDecodeError::PalettePastData},
    {"biClrUsed 0x40000000 (4 GB palette)", [](Bytes* b) { PutU32(b, 32, 0x40000000); },
     DibDecodeError::PalettePastData},
    {"palette cut off", [](Bytes* b) { b->resize(40 + 512); }, DibDecodeError::PalettePastData},
    {"biClrUsed 600 at 24 bits",
     [](Bytes* b) {
       SetBits(b, 24);
       PutU32(b, 32, 600);
     },
     DibDecodeError::PalettePastData},
    {"palette of 300 pushing the rows out", [](Bytes* b) { PutU32(b, 32, 300); },
     DibDecodeError::ColorRowsPastData},
    {"palette of 257 pushing the mask out", [](Bytes* b) { PutU32(b, 32, 257); },
     DibDecodeError::MaskRowsPastData},
    {"colour rows one byte short", [](Bytes* b) { b->resize(40 + 1024 + 255); },
     DibDecodeError::ColorRowsPastData},
    {"mask one byte short", [](Bytes* b) { b->pop_back(); }, DibDecodeError::MaskRowsPastData},
    {"no mask", [](Bytes* b) { b->resize(40 + 1024 + 256); }, DibDecodeError::MaskRowsPastData},
    {"BI_BITFIELDS masks cut off",
     [](Bytes* b) {
       SetBits(b, 16);
       PutU32(b, 16, 3);
       b->resize(48);
     },
     DibDecodeError::MasksPastData},
    {"56-byte header with BI_BITFIELDS cut off",
     [](Bytes* b) {
       SetBits(b, 32);
       PutU32(b, 16, 3);
       PutU32(b, 0, 56);
       b->resize(54);
     },
     DibDecodeError::HeaderPastData},
};

TEST(DibDecoder, HostileHeadersGiveTheirError) {
  ASSERT_TRUE(Decode(Valid()).ok());
  for (const Hostile& c : kHostile) {
    Bytes b = Valid();
    c.edit(&b);
    const DibDecodeResult r = Decode(b);
    EXPECT_EQ(r.error, c.error) << c.name << ": got " << DibDecodeErrorName(r.error);
    EXPECT_TRUE(r.image.pixels.empty()) << c.name;
    EXPECT_EQ(r.image.width, 0u) << c.name;
  }
}

// Every cut of a valid image of each depth is refused or decoded whole; the
// sanitizer builds catch any read past the cut.
TEST(DibDecoder, EveryCutIsRefusedExceptTheWholeImage) {
  for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
    const Bytes whole = MakeDib(5, 3, bits, bits <= 8 ? 1u << bits : 0);
    for (size_t n = 0; n < whole.size(); ++n) {
      // An exact-size copy, so ASan sees a read past n.
      const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
      EXPECT_FALSE(Decode(cut).ok()) << bits << " bits cut to " << n;
    }
    EXPECT_TRUE(Decode(whole).ok()) << bits;
  }
}

// Row by row gives the whole decoder's pixels: every depth, both row orders,
// a palette shorter than the indexes, masks, and 32 bits with and without alpha.
TEST(DibDecoder, RowByRowGivesTheWholeDecodersPixels) {
  struct Case {
    const char* name;
    uint16_t bits;
    void (*edit)(Bytes*);
  };
  auto none = [](Bytes*) {};
  auto topDown = [](Bytes* b) { PutU32(b, 8, static_cast<uint32_t>(-2 * 7)); };
  const Case cases[] = {
      {"1 bit", 1, none},
      {"1 bit top-down", 1, topDown},
      {"4 bits", 4, none},
      {"8 bits, 3 colours", 8, [](Bytes* b) { PutU32(b, 32, 3); }},
      {"8 bits top-down", 8, topDown},
      {"16 bits 555", 16, none},
      {"16 bits BI_BITFIELDS", 16,
       [](Bytes* b) {
         PutU32(b, 16, 3);
         b->insert(b->end(), 12, 0x5A);
       }},
      {"24 bits", 24, none},
      {"24 bits top-down", 24, topDown},
      {"32 bits with alpha", 32, none},
      {"32 bits with alpha top-down", 32, topDown},
      {"32 bits, alpha all zero: the AND mask", 32,
       [](Bytes* b) {
         for (size_t i = 40 + 3; i < 40 + 13 * 7 * 4; i += 4) (*b)[i] = 0;
       }},
  };
  for (const Case& c : cases) {
    Bytes b = MakeDib(13, 7, c.bits, c.bits <= 8 ? 1u << c.bits : 0);
    c.edit(&b);
    const DibDecodeResult whole = Decode(b);
    ASSERT_TRUE(whole.ok()) << c.name << ": " << DibDecodeErrorName(whole.error);
    testing::RowCollector rows;
    const DibDecodeError error = DecodeDibRows(ByteSpan(b.data(), b.size()), &rows);
    ASSERT_EQ(error, DibDecodeError::None) << c.name << ": " << DibDecodeErrorName(error);
    EXPECT_EQ(rows.begins, 1) << c.name;
    EXPECT_EQ(rows.image.width, 13u) << c.name;
    EXPECT_EQ(rows.image.height, 7u) << c.name;
    EXPECT_EQ(rows.image.pixels, whole.image.pixels) << c.name;
  }
}

// The same refusals, before the sink hears of the image; a sink that
// refuses the size gets no rows.
TEST(DibDecoder, RowByRowRefusesWhatTheWholeDecoderRefuses) {
  for (const Hostile& c : kHostile) {
    Bytes b = Valid();
    c.edit(&b);
    testing::RowCollector rows;
    EXPECT_EQ(DecodeDibRows(ByteSpan(b.data(), b.size()), &rows), c.error) << c.name;
    EXPECT_EQ(rows.begins, 0) << c.name;
  }
  const Bytes b = Valid();
  testing::RowCollector rows;
  rows.refuse = true;
  EXPECT_EQ(DecodeDibRows(ByteSpan(b.data(), b.size()), &rows), DibDecodeError::Refused);
  EXPECT_TRUE(rows.image.pixels.empty());
}

}  // namespace
}  // namespace vantorico
