#pragma once
// PNG encoding and decoding: through libpng natively (png_codec.cpp), through
// the Windows Imaging Component on Windows (png_codec_win.cpp). Icon images
// that already are PNG are never re-encoded for export: their bytes are
// written as they are. Decoding is for scaling them and for checking output.
#include <cstdint>
#include <vector>

#include "base/byte_cursor.h"
#include "iconlib/formats/png_header.h"
#include "iconlib/images/rgba_image.h"

namespace vantorico {

enum class PngCodecError {
  None,
  EmptyImage,     // width or height 0, or pixels not width x height x 4 bytes
  ImageTooLarge,  // more than kMaxDecodedPixels
  NotPng,         // no PNG signature
  Malformed,      // the codec refused the stream (its message is dropped)
  Unavailable,    // the platform's codec could not be started (Windows: COM, WIC)
  Refused,        // the row sink refused the image's size
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
// The same pixels handed to sink a row at a time, without a whole image in
// memory (an interlaced PNG is still decoded whole first).
[[nodiscard]] PngCodecError DecodePngRows(ByteSpan png, RgbaRowSink* sink);

// The limits both codecs apply before they allocate (png_codec_checks.cpp):
// an image to encode needs width x height x 4 bytes of pixels; either way
// at most kMaxDecodedPixels.
PngCodecError EncodableImageError(const RgbaImage& image);
PngCodecError PixelCountError(uint32_t width, uint32_t height);
// Bytes to decode: a PNG signature and a header whose size passes
// PixelCountError, which *header then holds.
PngCodecError DecodableHeaderError(ByteSpan png, PngHeader* header);

}  // namespace vantorico
