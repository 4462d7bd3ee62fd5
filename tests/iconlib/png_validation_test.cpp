// Stored PNG images pass as they are only when they are whole and valid;
// each way of being broken is refused by the validator and by the tests'
// own checker, and the export then decodes and encodes (or refuses).
#include "iconlib/images/png_validation.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "iconlib/formats/icon_constants.h"
#include "iconlib/images/thumbnail_pipeline.h"
#include "test_support.h"
#include "tests/support/png_check.h"

namespace vantorico {
namespace {

using testing::Bytes;

Bytes Chunk(const std::string& type, const Bytes& data, bool goodCrc = true) {
  Bytes out;
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(data.size() >> s));
  Bytes body(type.begin(), type.end());
  body.insert(body.end(), data.begin(), data.end());
  uLong crc = crc32(0, body.data(), static_cast<uInt>(body.size()));
  if (!goodCrc) crc ^= 1;
  out.insert(out.end(), body.begin(), body.end());
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(crc >> s));
  return out;
}

Bytes Deflate(const Bytes& raw) {
  Bytes packed(compressBound(static_cast<uLong>(raw.size())));
  uLongf size = static_cast<uLongf>(packed.size());
  EXPECT_EQ(compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size())), Z_OK);
  packed.resize(size);
  return packed;
}

Bytes Ihdr(uint32_t w, uint32_t h, uint8_t depth, uint8_t color, uint8_t interlace = 0) {
  Bytes b;
  for (uint32_t v : {w, h})
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
  b.insert(b.end(), {depth, color, 0, 0, interlace});
  return b;
}

// Filtered rows of a w x h 8-bit RGBA image (filter 0, then patterned pixels).
Bytes Rows(uint32_t w, uint32_t h) {
  Bytes raw;
  for (uint32_t y = 0; y < h; ++y) {
    raw.push_back(0);
    for (uint32_t x = 0; x < w * 4; ++x) raw.push_back(static_cast<uint8_t>(x * 17 + y * 5 + 255));
  }
  return raw;
}

Bytes Png(const std::vector<Bytes>& chunks) {
  Bytes png(kPngSignature, kPngSignature + sizeof kPngSignature);
  for (const Bytes& c : chunks) png.insert(png.end(), c.begin(), c.end());
  return png;
}

TEST(PngValidation, BrokenStoredImagesAreRefusedAndNeverPassedOn) {
  const Bytes ihdr = Chunk("IHDR", Ihdr(5, 3, 8, 6));
  const Bytes idat = Chunk("IDAT", Deflate(Rows(5, 3)));
  const Bytes iend = Chunk("IEND", {});
  const Bytes good = Png({ihdr, idat, iend});
  Bytes surplus = Rows(5, 3);
  surplus.resize(surplus.size() + 100 * 1024 * 1024, 0);  // 100 MB more than IHDR says
  Bytes badFilter = Rows(5, 3);
  badFilter[0] = 7;
  Bytes trailing = Deflate(Rows(5, 3));
  trailing.insert(trailing.end(), {1, 2, 3});
  Bytes adam7;  // 5 x 3 interlaced: the passes' rows, each with its filter byte
  for (const auto& [width, rows] : std::vector<std::pair<size_t, size_t>>{
           {1, 1}, {1, 1}, {0, 0}, {1, 1}, {3, 1}, {2, 2}, {5, 1}}) {
    for (size_t row = 0; row < rows; ++row) adam7.insert(adam7.end(), 1 + width * 4, 0);
  }
  const Bytes noIendCut(good.begin(), good.end() - 2);
  const struct {
    const char* what;
    Bytes png;
    PngFault fault;
  } cases[] = {
      {"valid", good, PngFault::None},
      {"valid with a small text", Png({ihdr, Chunk("tEXt", Bytes(100, 'a')), idat, iend}),
       PngFault::None},
      {"valid interlaced",
       Png({Chunk("IHDR", Ihdr(5, 3, 8, 6, 1)), Chunk("IDAT", Deflate(adam7)), iend}),
       PngFault::None},
      {"no IEND", Png({ihdr, idat}), PngFault::NoIend},
      {"IEND cut short", noIendCut, PngFault::ChunkPastEnd},
      {"bad CRC after IDAT", Png({ihdr, idat, Chunk("tEXt", Bytes(8, 'a'), false), iend}),
       PngFault::BadCrc},
      {"bad CRC of IDAT", Png({ihdr, Chunk("IDAT", Deflate(Rows(5, 3)), false), iend}),
       PngFault::BadCrc},
      {"garbage after IEND",
       [&] {
         Bytes b = good;
         b.insert(b.end(), 64, 0x5A);
         return b;
       }(),
       PngFault::DataAfterIend},
      {"a 50 MB zTXt", Png({ihdr, Chunk("zTXt", Bytes(50 * 1024 * 1024, 'z')), idat, iend}),
       PngFault::TooMuchAncillary},
      {"100 MB of surplus image data", Png({ihdr, Chunk("IDAT", Deflate(surplus)), iend}),
       PngFault::WrongDataSize},
      {"too little image data", Png({ihdr, Chunk("IDAT", Deflate(Rows(5, 2))), iend}),
       PngFault::WrongDataSize},
      {"an unknown filter", Png({ihdr, Chunk("IDAT", Deflate(badFilter)), iend}),
       PngFault::BadFilter},
      {"bytes after the zlib stream", Png({ihdr, Chunk("IDAT", trailing), iend}),
       PngFault::BadImageData},
      {"no IDAT", Png({ihdr, iend}), PngFault::NoImageData},
      {"IHDR not first", Png({Chunk("tEXt", Bytes(4, 'a')), ihdr, idat, iend}),
       PngFault::IhdrNotFirst},
      {"an unknown critical chunk", Png({ihdr, Chunk("ABCD", Bytes(4, 1)), idat, iend}),
       PngFault::UnknownCritical},
      {"a palette image without PLTE", Png({Chunk("IHDR", Ihdr(5, 3, 8, 3)), idat, iend}),
       PngFault::PaletteMismatch},
      {"IDAT split by another chunk",
       [&] {
         const Bytes z = Deflate(Rows(5, 3));
         const Bytes a(z.begin(), z.begin() + 4), b(z.begin() + 4, z.end());
         return Png({ihdr, Chunk("IDAT", a), Chunk("tEXt", Bytes(2, 'x')), Chunk("IDAT", b), iend});
       }(),
       PngFault::ChunkOrder},
      {"depth 3", Png({Chunk("IHDR", Ihdr(5, 3, 3, 6)), idat, iend}), PngFault::BadIhdr},
  };
  for (const auto& c : cases) {
    const ByteSpan span(c.png.data(), c.png.size());
    EXPECT_EQ(ValidatePng(span), c.fault) << c.what << ": " << PngFaultName(ValidatePng(span));
    // The tests' own checker agrees on what is whole (it knows fewer rules).
    if (c.fault == PngFault::None) {
      EXPECT_EQ(testing::PngProblem(c.png), "") << c.what;
    }
    // The picture made of it is the stored bytes only when they are valid;
    // otherwise decoded and encoded again (a valid file), or refused.
    const Thumbnail t = MakeThumbnail({span}, 0, BlankImages::Keep);
    EXPECT_EQ(t.storedBytes, c.fault == PngFault::None) << c.what;
    if (t.ok()) {
      EXPECT_EQ(testing::PngProblem(t.png), "") << c.what;
      EXPECT_EQ(t.width, 5u) << c.what;
    }
  }
}

}  // namespace
}  // namespace vantorico
