#pragma once
// PNG encoding and decoding through libpng (native build only). Icon images
// that already are PNG are never re-encoded for export: their bytes are
// written as they are. Decoding is for scaling them and for checking output.
#include <cstdint>
#include <vector>

#include "base/byte_cursor.h"
#include "iconlib/rgba_image.h"

namespace vantorico {

enum class PngCodecError {
  None,
  EmptyImage,     // width or height 0, or pixels not width x height x 4 bytes
  ImageTooLarge,  // more than kMaxDecodedPixels
  NotPng,         // no PNG signature
  Malformed,      // libpng refused the stream (its message is dropped)
};

const char* PngCodecErrorName(PngCodecError error);

struct [[nodiscard]] PngEncodeResult {
  PngCodecError error = PngCodecError::None;
  std::vector<uint8_t> bytes;  // a complete PNG file, 8-bit RGBA, not interlaced
  bool ok() const { return error == PngCodecError::None; }
};

struct [[nodiscard]] PngDecodeResult {
  PngCodecError error = PngCodecError::None;
  RgbaImage image;  // straight 8-bit RGBA whatever the stored colour type and depth
  bool ok() const { return error == PngCodecError::None; }
};

[[nodiscard]] PngEncodeResult EncodePng(const RgbaImage& image);
[[nodiscard]] PngDecodeResult DecodePng(ByteSpan png);

}  // namespace vantorico
