// PNG encoding and decoding through libpng: round trips, and what each
// refusal says.
#include "iconlib/png_codec.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "iconlib/png_header.h"
#include "test_support.h"

namespace vantorico {
namespace {

using testing::Bytes;

RgbaImage Noise(uint32_t w, uint32_t h, unsigned seed) {
  RgbaImage i;
  i.width = w;
  i.height = h;
  std::mt19937 random(seed);
  i.pixels.resize(size_t{w} * h * 4);
  for (uint8_t& b : i.pixels) b = static_cast<uint8_t>(random());
  // Some fully transparent pixels keep their colour through a round trip too.
  for (size_t p = 0; p < i.pixels.size(); p += 4 * 7) i.pixels[p + 3] = 0;
  return i;
}

TEST(PngCodec, RoundTripKeepsEveryByte) {
  for (const auto& [w, h] :
       std::vector<std::pair<uint32_t, uint32_t>>{{1, 1}, {16, 16}, {3, 7}, {256, 256}, {300, 2}}) {
    const RgbaImage image = Noise(w, h, w * 1000 + h);
    const PngEncodeResult encoded = EncodePng(image);
    ASSERT_TRUE(encoded.ok()) << PngCodecErrorName(encoded.error);
    PngHeader header;
    ASSERT_TRUE(ReadPngHeader(ByteSpan(encoded.bytes.data(), encoded.bytes.size()), &header));
    EXPECT_EQ(header.width, w);
    EXPECT_EQ(header.height, h);
    EXPECT_EQ(header.bitDepth, 8);
    EXPECT_EQ(header.colorType, kPngColorTypeRgba);
    const PngDecodeResult decoded = DecodePng(ByteSpan(encoded.bytes.data(), encoded.bytes.size()));
    ASSERT_TRUE(decoded.ok()) << PngCodecErrorName(decoded.error);
    EXPECT_EQ(decoded.image.width, w);
    EXPECT_EQ(decoded.image.height, h);
    EXPECT_EQ(decoded.image.pixels, image.pixels) << w << "x" << h;
  }
}

TEST(PngCodec, EncodingRefusesImagesWithoutPixels) {
  RgbaImage empty;
  EXPECT_EQ(EncodePng(empty).error, PngCodecError::EmptyImage);
  RgbaImage short_rows = Noise(4, 4, 1);
  short_rows.pixels.pop_back();
  const PngEncodeResult r = EncodePng(short_rows);
  EXPECT_EQ(r.error, PngCodecError::EmptyImage);
  EXPECT_TRUE(r.bytes.empty());
}

Bytes Chunk(const char* type, const Bytes& data) {
  Bytes out;
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(data.size() >> s));
  Bytes body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  const uLong crc = crc32(0, body.data(), static_cast<uInt>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(crc >> s));
  return out;
}

TEST(PngCodec, DecodingRefusesWhatItCannotRead) {
  const Bytes junk(64, 0x42);
  EXPECT_EQ(DecodePng(ByteSpan(junk.data(), junk.size())).error, PngCodecError::NotPng);
  const PngEncodeResult good = EncodePng(Noise(20, 20, 2));
  ASSERT_TRUE(good.ok());
  for (size_t cut : {size_t{8}, size_t{30}, good.bytes.size() / 2, good.bytes.size() - 13}) {
    const Bytes part(good.bytes.begin(), good.bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    const PngDecodeResult r = DecodePng(ByteSpan(part.data(), part.size()));
    EXPECT_EQ(r.error, PngCodecError::Malformed) << cut;
    EXPECT_TRUE(r.image.pixels.empty());
  }
  // A valid IHDR claiming 100000 x 100000: refused before any pixel memory.
  Bytes huge(kPngSignature, kPngSignature + 8);
  const Bytes ihdr = {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 6, 0, 0, 0};
  for (const Bytes& c : {Chunk("IHDR", ihdr), Chunk("IDAT", {}), Chunk("IEND", {})})
    huge.insert(huge.end(), c.begin(), c.end());
  EXPECT_EQ(DecodePng(ByteSpan(huge.data(), huge.size())).error, PngCodecError::ImageTooLarge);
}

TEST(PngCodec, GreyAndPaletteImagesComeOutAsRgba) {
  // 2 x 1 grey 8-bit, no filter: values 0 and 200.
  Bytes raw = {0, 0, 200};
  Bytes packed(compressBound(static_cast<uLong>(raw.size())));
  uLongf packedSize = static_cast<uLongf>(packed.size());
  ASSERT_EQ(compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size())), Z_OK);
  packed.resize(packedSize);
  Bytes png(kPngSignature, kPngSignature + 8);
  for (const Bytes& c : {Chunk("IHDR", {0, 0, 0, 2, 0, 0, 0, 1, 8, 0, 0, 0, 0}),
                         Chunk("IDAT", packed), Chunk("IEND", {})})
    png.insert(png.end(), c.begin(), c.end());
  const PngDecodeResult r = DecodePng(ByteSpan(png.data(), png.size()));
  ASSERT_TRUE(r.ok()) << PngCodecErrorName(r.error);
  EXPECT_EQ(r.image.pixels, (std::vector<uint8_t>{0, 0, 0, 255, 200, 200, 200, 255}));
}

}  // namespace
}  // namespace vantorico
