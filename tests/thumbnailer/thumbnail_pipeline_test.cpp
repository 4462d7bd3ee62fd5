// The decode-choose-scale-encode pipeline on images held in memory.
#include "iconlib/images/thumbnail_pipeline.h"

#include <gtest/gtest.h>

#include <vector>

#include "iconlib/images/dib_decoder.h"
#include "iconlib/images/png_codec.h"
#include "iconlib/images/rgba_scale.h"
#include "test_support.h"

namespace vantorico {
namespace {

using testing::Bytes;
using testing::PutU32;

// A 32-bit DIB of size x size: an opaque diagonal gradient, or with alpha
// and mask all zero when blank (fully transparent as Windows draws it, mask 1).
Bytes Dib32(uint32_t size, bool blank = false) {
  Bytes b(40, 0);
  PutU32(&b, 0, 40);
  PutU32(&b, 4, size);
  PutU32(&b, 8, size * 2);
  testing::PutU16(&b, 12, 1);
  testing::PutU16(&b, 14, 32);
  for (uint32_t y = 0; y < size; ++y) {
    for (uint32_t x = 0; x < size; ++x) {
      b.insert(b.end(),
               {uint8_t(x * 255 / size), uint8_t(y * 255 / size), 0x80, uint8_t(blank ? 0 : 255)});
    }
  }
  const size_t maskBytes = ((size + 31) / 32) * 4 * size;
  b.insert(b.end(), maskBytes, blank ? 0xFF : 0x00);
  return b;
}

Bytes Png(uint32_t size) {
  RgbaImage i;
  i.width = i.height = size;
  i.pixels.assign(size_t{size} * size * 4, 0x90);
  PngEncodeResult r = EncodePng(i);
  EXPECT_TRUE(r.ok());
  return r.bytes;
}

std::vector<ByteSpan> Spans(const std::vector<Bytes>& images) {
  std::vector<ByteSpan> out;
  for (const Bytes& b : images) out.emplace_back(b.data(), b.size());
  return out;
}

RgbaImage DecodeResult(const Thumbnail& t) {
  PngDecodeResult r = DecodePng(ByteSpan(t.png.data(), t.png.size()));
  EXPECT_TRUE(r.ok()) << PngCodecErrorName(r.error);
  return r.image;
}

TEST(ThumbnailPipeline, StoredPngOfTheSizeIsPassedThroughUnchanged) {
  const std::vector<Bytes> images = {Dib32(32), Png(256), Dib32(48)};
  const Thumbnail t = MakeThumbnail(Spans(images), 256);
  ASSERT_TRUE(t.ok()) << ThumbnailErrorName(t.error);
  EXPECT_EQ(t.imageIndex, 1u);
  EXPECT_TRUE(t.storedBytes);
  EXPECT_EQ(t.png, images[1]);
}

TEST(ThumbnailPipeline, DibOfTheSizeIsEncodedPixelForPixel) {
  const std::vector<Bytes> images = {Png(256), Dib32(48), Dib32(32)};
  const Thumbnail t = MakeThumbnail(Spans(images), 48);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(t.imageIndex, 1u);
  EXPECT_FALSE(t.storedBytes);
  const DibDecodeResult dib = DecodeDib(ByteSpan(images[1].data(), images[1].size()));
  ASSERT_TRUE(dib.ok());
  EXPECT_EQ(DecodeResult(t).pixels, dib.image.pixels);
}

TEST(ThumbnailPipeline, OtherSizesScaleTheNextLargerOrTheLargest) {
  const std::vector<Bytes> images = {Dib32(16), Dib32(48), Dib32(32)};
  Thumbnail t = MakeThumbnail(Spans(images), 24);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(t.imageIndex, 2u);  // 32, the next larger
  RgbaImage shown = DecodeResult(t);
  EXPECT_EQ(shown.width, 24u);
  EXPECT_EQ(shown.height, 24u);
  t = MakeThumbnail(Spans(images), 128);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(t.imageIndex, 1u);  // 48, the largest, scaled up
  shown = DecodeResult(t);
  EXPECT_EQ(shown.width, 128u);
  // A stored PNG at another size is decoded, scaled and written anew.
  const std::vector<Bytes> png = {Png(256)};
  t = MakeThumbnail(Spans(png), 128);
  ASSERT_TRUE(t.ok());
  EXPECT_FALSE(t.storedBytes);
  shown = DecodeResult(t);
  EXPECT_EQ(shown.width, 128u);
  EXPECT_EQ(shown.pixels[0], 0x90);
}

TEST(ThumbnailPipeline, SmallImagesKeepTheirSizeWhenAsked) {
  const std::vector<Bytes> images = {Dib32(16), Dib32(48), Dib32(32)};
  // Nothing as large as asked: the largest, pixel for pixel, not enlarged.
  Thumbnail t = MakeThumbnail(Spans(images), 128, BlankImages::Refuse, SmallImages::KeepSize);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(t.imageIndex, 1u);
  const DibDecodeResult dib = DecodeDib(ByteSpan(images[1].data(), images[1].size()));
  ASSERT_TRUE(dib.ok());
  RgbaImage shown = DecodeResult(t);
  EXPECT_EQ(shown.width, 48u);
  EXPECT_EQ(shown.height, 48u);
  EXPECT_EQ(shown.pixels, dib.image.pixels);
  // A larger one still gives way to the next larger, scaled down.
  t = MakeThumbnail(Spans(images), 40, BlankImages::Refuse, SmallImages::KeepSize);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(t.imageIndex, 1u);
  EXPECT_EQ(DecodeResult(t).width, 40u);
  // A stored PNG smaller than asked is its own bytes.
  const std::vector<Bytes> png = {Png(32)};
  t = MakeThumbnail(Spans(png), 256, BlankImages::Refuse, SmallImages::KeepSize);
  ASSERT_TRUE(t.ok());
  EXPECT_TRUE(t.storedBytes);
  EXPECT_EQ(t.png, png[0]);
}

TEST(ThumbnailPipeline, BlankOrBrokenImagesFallBackAndNeverComeOut) {
  // The exact size is blank: the next choice is used.
  std::vector<Bytes> images = {Dib32(32, true), Dib32(64)};
  Thumbnail t = MakeThumbnail(Spans(images), 32);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(t.imageIndex, 1u);
  // Only blank: an error, no bytes.
  images = {Dib32(32, true)};
  t = MakeThumbnail(Spans(images), 32);
  EXPECT_EQ(t.error, ThumbnailError::Blank);
  EXPECT_TRUE(t.png.empty());
  // Described but not decodable (its AND mask cut off).
  Bytes cut = Dib32(32);
  cut.resize(cut.size() - 10);
  images = {cut};
  EXPECT_EQ(MakeThumbnail(Spans(images), 32).error, ThumbnailError::Undecodable);
  images = {cut, Dib32(16)};
  t = MakeThumbnail(Spans(images), 32);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(t.imageIndex, 1u);
  // Nothing whose size can be read.
  images = {Bytes(30, 0x11), Bytes()};
  EXPECT_EQ(MakeThumbnail(Spans(images), 32).error, ThumbnailError::NoImages);
  EXPECT_EQ(MakeThumbnail({}, 32).error, ThumbnailError::NoImages);
}

TEST(ThumbnailPipeline, ScaledDownEdgesDoNotPickUpTransparentColour) {
  // 60 x 60: the left 29 columns opaque blue, the rest transparent but red
  // in its colour bytes. Shrunk to 16 (3.75 source pixels an output pixel,
  // so output column 7 straddles both), every shown pixel is pure blue.
  Bytes b(40, 0);
  PutU32(&b, 0, 40);
  PutU32(&b, 4, 60);
  PutU32(&b, 8, 120);
  testing::PutU16(&b, 12, 1);
  testing::PutU16(&b, 14, 32);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x)
      b.insert(b.end(), x < 29 ? std::initializer_list<uint8_t>{255, 0, 0, 255}
                               : std::initializer_list<uint8_t>{0, 0, 255, 0});
  b.insert(b.end(), 8 * 60, 0);
  const std::vector<Bytes> images = {b};
  const Thumbnail t = MakeThumbnail(Spans(images), 16);
  ASSERT_TRUE(t.ok());
  const RgbaImage shown = DecodeResult(t);
  size_t partial = 0;
  for (size_t i = 0; i < shown.pixels.size(); i += 4) {
    partial += shown.pixels[i + 3] != 0 && shown.pixels[i + 3] != 255;
    if (shown.pixels[i + 3] == 0) continue;
    EXPECT_EQ(shown.pixels[i], 0) << i / 4;
    EXPECT_EQ(shown.pixels[i + 2], 255) << i / 4;
  }
  EXPECT_EQ(partial, 16u);  // the straddling column
}

// Shrinking decodes row by row into the scaler: the result is the whole
// decode scaled, for a DIB and a PNG; one that fails part way gives way to
// the next image.
TEST(ThumbnailPipeline, ShrunkImagesAreTheWholeDecodeScaled) {
  RgbaImage noise;
  noise.width = noise.height = 70;
  for (uint32_t i = 0; i < 70 * 70; ++i) {
    noise.pixels.insert(noise.pixels.end(), {uint8_t(i * 13), uint8_t(i * 7), uint8_t(i / 3),
                                             uint8_t(i % 5 == 0 ? 0 : i * 29)});
  }
  const PngEncodeResult png = EncodePng(noise);
  ASSERT_TRUE(png.ok());
  Bytes dib = Dib32(60);
  for (size_t i = 40 + 3; i < 40 + 60 * 60 * 4; i += 8) dib[i] = 0x40;  // some alpha
  for (const Bytes& image : {dib, png.bytes}) {
    const std::vector<Bytes> images = {image};
    const Thumbnail t = MakeThumbnail(Spans(images), 23);
    ASSERT_TRUE(t.ok()) << ThumbnailErrorName(t.error);
    const ByteSpan bytes(image.data(), image.size());
    const RgbaImage whole = image == dib ? DecodeDib(bytes).image : DecodePng(bytes).image;
    const RgbaImage expected = ScaleRgba(whole, 23, 23);
    ASSERT_EQ(expected.width, 23u);
    EXPECT_EQ(DecodeResult(t).pixels, expected.pixels);
  }
  Bytes cut = png.bytes;
  cut.resize(cut.size() / 2);
  std::vector<Bytes> images = {cut};
  EXPECT_EQ(MakeThumbnail(Spans(images), 23).error, ThumbnailError::Undecodable);
  images = {cut, Dib32(16)};
  const Thumbnail t = MakeThumbnail(Spans(images), 23);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(t.imageIndex, 1u);
}

}  // namespace
}  // namespace vantorico
