// PNG encoding and decoding, the same cases for both codecs (libpng
// natively, WIC under Wine): round trips, the stored forms icons use, and
// what each refusal says. The PNG files here are built by hand, their
// zlib streams of stored blocks, so no codec makes its own test input.
#include "iconlib/images/png_codec.h"

#include <gtest/gtest.h>

#include <random>

#include "iconlib/formats/png_header.h"
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

uint32_t Crc32(const Bytes& bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (uint8_t b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

void PutBigEndian(Bytes* out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out->push_back(static_cast<uint8_t>(v >> s));
}

Bytes Chunk(const char* type, const Bytes& data) {
  Bytes out;
  PutBigEndian(&out, static_cast<uint32_t>(data.size()));
  Bytes body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  PutBigEndian(&out, Crc32(body));
  return out;
}

// A zlib stream of one stored (uncompressed) deflate block.
Bytes Stored(const Bytes& raw) {
  Bytes out = {0x78, 0x01, 0x01};
  const uint16_t n = static_cast<uint16_t>(raw.size());
  out.insert(out.end(), {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                         static_cast<uint8_t>(~n), static_cast<uint8_t>(~n >> 8)});
  out.insert(out.end(), raw.begin(), raw.end());
  uint32_t a = 1, b = 0;
  for (uint8_t c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(&out, (b << 16) | a);
  return out;
}

// A PNG of the given rows (each with its filter byte) and extra chunks
// between IHDR and IDAT; Adam7-interlaced when asked (the rows are then the
// passes' rows, in pass order).
enum class Interlace : uint8_t { None, Adam7 };
Bytes MakeStoredPng(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType,
                    const Bytes& rows, const std::vector<Bytes>& chunks = {},
                    Interlace interlace = Interlace::None) {
  Bytes ihdr;
  PutBigEndian(&ihdr, width);
  PutBigEndian(&ihdr, height);
  ihdr.insert(ihdr.end(), {depth, colorType, 0, 0, static_cast<uint8_t>(interlace)});
  Bytes png(kPngSignature, kPngSignature + 8);
  std::vector<Bytes> all = {Chunk("IHDR", ihdr)};
  all.insert(all.end(), chunks.begin(), chunks.end());
  all.push_back(Chunk("IDAT", Stored(rows)));
  all.push_back(Chunk("IEND", {}));
  for (const Bytes& c : all) png.insert(png.end(), c.begin(), c.end());
  return png;
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

// The stored forms an icon's PNG image can take, each to straight 8-bit
// RGBA, samples as stored (as Windows draws icons): both codecs must give
// these bytes.
struct ColourTypeCase {
  const char* what;
  Bytes png;
  Bytes rgba;
};

std::vector<ColourTypeCase> ColourTypeCases() {
  return {
      {"grey 8-bit", MakeStoredPng(2, 1, 8, 0, {0, 0, 200}), {0, 0, 0, 255, 200, 200, 200, 255}},
      {"grey 1-bit",
       MakeStoredPng(3, 1, 1, 0, {0, 0xA0}),
       {255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255}},
      {"grey and alpha",
       MakeStoredPng(2, 1, 8, 4, {0, 10, 20, 30, 0}),
       {10, 10, 10, 20, 30, 30, 30, 0}},
      {"grey with tRNS",
       MakeStoredPng(2, 1, 8, 0, {0, 7, 9}, {Chunk("tRNS", {0, 7})}),
       {7, 7, 7, 0, 9, 9, 9, 255}},
      {"RGB",
       MakeStoredPng(1, 2, 8, 2, {0, 1, 2, 3, 0, 250, 251, 252}),
       {1, 2, 3, 255, 250, 251, 252, 255}},
      {"RGBA, Sub and Up filters",
       MakeStoredPng(2, 2, 8, 6,
                     {1, 1, 2, 3, 4, 1, 1, 1, 1,  //
                      2, 5, 5, 5, 5, 0, 0, 0, 0}),
       {1, 2, 3, 4, 2, 3, 4, 5, 6, 7, 8, 9, 2, 3, 4, 5}},
      {"palette with tRNS",
       MakeStoredPng(
           3, 1, 4, 3, {0, 0x01, 0x20},
           {Chunk("PLTE", {10, 20, 30, 40, 50, 60, 70, 80, 90}), Chunk("tRNS", {255, 128})}),
       {10, 20, 30, 255, 40, 50, 60, 128, 70, 80, 90, 255}},
      // 2 x 2 in Adam7: pass 1 holds (0,0), pass 6 (1,0), pass 7 the second row.
      {"grey, interlaced",
       MakeStoredPng(2, 2, 8, 0, {0, 1, 0, 2, 0, 3, 4}, {}, Interlace::Adam7),
       {1, 1, 1, 255, 2, 2, 2, 255, 3, 3, 3, 255, 4, 4, 4, 255}},
      {"16-bit RGBA: the high bytes",
       MakeStoredPng(2, 1, 16, 6,
                     {0, 0x80, 0x00, 0x40, 0xFF, 0xFF, 0xFF, 0x80, 0x80,  //
                      0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0x00, 0xFF}),
       {0x80, 0x40, 0xFF, 0x80, 0x12, 0x56, 0x9A, 0x00}},
      {"gAMA 1.0: no gamma applied",
       MakeStoredPng(1, 1, 8, 6, {0, 128, 64, 200, 128}, {Chunk("gAMA", {0, 1, 0x86, 0xA0})}),
       {128, 64, 200, 128}},
  };
}

TEST(PngCodec, EveryColourTypeComesOutAsRgba) {
  for (const auto& c : ColourTypeCases()) {
    const PngDecodeResult r = DecodePng(ByteSpan(c.png.data(), c.png.size()));
    ASSERT_TRUE(r.ok()) << c.what << ": " << PngCodecErrorName(r.error);
    EXPECT_EQ(r.image.pixels, c.rgba) << c.what;
  }
}

// Row by row gives the whole decoder's pixels: every stored form above
// (the interlaced one decoded whole first) and a compressed image of noise.
TEST(PngCodec, RowByRowGivesTheWholeDecodersPixels) {
  std::vector<ColourTypeCase> cases = ColourTypeCases();
  const PngEncodeResult noise = EncodePng(Noise(37, 23, 3));
  ASSERT_TRUE(noise.ok());
  cases.push_back({"noise", noise.bytes, {}});
  for (const auto& c : cases) {
    const ByteSpan png(c.png.data(), c.png.size());
    const PngDecodeResult whole = DecodePng(png);
    ASSERT_TRUE(whole.ok()) << c.what << ": " << PngCodecErrorName(whole.error);
    testing::RowCollector rows;
    const PngCodecError error = DecodePngRows(png, &rows);
    ASSERT_EQ(error, PngCodecError::None) << c.what << ": " << PngCodecErrorName(error);
    EXPECT_EQ(rows.begins, 1) << c.what;
    EXPECT_EQ(rows.image.width, whole.image.width) << c.what;
    EXPECT_EQ(rows.image.height, whole.image.height) << c.what;
    EXPECT_EQ(rows.image.pixels, whole.image.pixels) << c.what;
  }
}

// A stream cut short in its image data, or whose IDAT holds fewer rows
// than IHDR says, fails row by row as it does whole, and a cut anywhere gets
// the same answer both ways (WIC does not read IEND); the sanitizer builds
// catch any read past the bytes. A sink that refuses the size gets no rows.
TEST(PngCodec, RowByRowRefusesStreamsShortOfRows) {
  const PngEncodeResult good = EncodePng(Noise(64, 64, 4));
  ASSERT_TRUE(good.ok());
  auto cutTo = [&good](size_t n) {
    return Bytes(good.bytes.begin(), good.bytes.begin() + static_cast<std::ptrdiff_t>(n));
  };
  std::vector<Bytes> bad;
  for (size_t cut :
       {size_t{40}, good.bytes.size() / 3, good.bytes.size() / 2, good.bytes.size() - 20}) {
    bad.push_back(cutTo(cut));
  }
  // 3 x 40 grey in IHDR, 10 rows of data.
  Bytes tenRows;
  for (int y = 0; y < 10; ++y) tenRows.insert(tenRows.end(), {0, 1, 2, 3});
  bad.push_back(MakeStoredPng(3, 40, 8, 0, tenRows));
  for (const Bytes& b : bad) {
    const ByteSpan png(b.data(), b.size());
    testing::RowCollector rows;
    EXPECT_EQ(DecodePngRows(png, &rows), PngCodecError::Malformed) << b.size();
    EXPECT_EQ(DecodePng(png).error, PngCodecError::Malformed) << b.size();
  }
  for (size_t n = 0; n < good.bytes.size(); n += n + 16 < good.bytes.size() ? 61 : 1) {
    const Bytes b = cutTo(n);
    const ByteSpan png(b.data(), b.size());
    testing::RowCollector rows;
    EXPECT_EQ(DecodePngRows(png, &rows), DecodePng(png).error) << n;
  }
  testing::RowCollector refusing;
  refusing.refuse = true;
  EXPECT_EQ(DecodePngRows(ByteSpan(good.bytes.data(), good.bytes.size()), &refusing),
            PngCodecError::Refused);
  EXPECT_TRUE(refusing.image.pixels.empty());
}

}  // namespace
}  // namespace vantorico
