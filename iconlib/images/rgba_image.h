#pragma once
// An image as the PNG export and the thumbnailer use it: 8-bit straight
// (non-premultiplied) RGBA, top row first, rows packed (width x 4 bytes).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantorico {

struct RgbaImage {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> pixels;  // width x height x 4 bytes: R, G, B, A
};

// What a decoder hands an image to a row at a time: Begin once with its size,
// then its rows top row first, each width x 4 bytes of straight RGBA. A
// decoder that fails part way stops handing rows and reports its failure,
// so the rows taken count only when it succeeds.
class RgbaRowSink {
 public:
  virtual ~RgbaRowSink() = default;
  // False refuses the image: the decoder stops before any row.
  virtual bool Begin(uint32_t width, uint32_t height) = 0;
  virtual void TakeRow(const uint8_t* rgba) = 0;
};

// Every decoder refuses images of more pixels than this before allocating
// (8192 x 8192: 256 MB of RGBA). Icons are at most 256 x 256.
constexpr uint64_t kMaxDecodedPixels = uint64_t{1} << 26;

// True when every pixel's alpha is 0 (an empty image counts as blank).
bool IsFullyTransparent(const RgbaImage& image);

}  // namespace vantorico
