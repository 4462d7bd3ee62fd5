#pragma once
// A group as a bitmap file for export (`vantorico extract --format bmp`):
// the first DIB image the decoder reads, else the largest PNG image that
// decodes. Only a stored DIB whose header every reader takes (one plane,
// 1 to 32 bits, BI_RGB, a palette that is there) is written as stored;
// any other goes out as a 32-bit bitmap with alpha built from its pixels.
#include <cstdint>
#include <vector>

#include "base/byte_cursor.h"
#include "iconlib/formats/icon_image_set.h"
#include "iconlib/images/rgba_image.h"

namespace vantorico {

enum class BitmapExportError {
  None,
  NoImage,   // no DIB decodes and no PNG image decodes
  PngOnly,   // the images that could serve are PNG, and no PNG decoder was given
  TooLarge,  // the bitmap would pass 4 GB
};

struct [[nodiscard]] BitmapExport {
  BitmapExportError error = BitmapExportError::None;
  std::vector<uint8_t> bytes;  // the whole .bmp file
  uint32_t imageIndex = 0;     // which image it shows
  bool storedBytes = false;    // the image's own header, palette and rows
  bool ok() const { return error == BitmapExportError::None; }
};

// Decodes a PNG image to RGBA; false when it cannot.
using PngPixelsDecoder = bool (*)(ByteSpan png, RgbaImage* out);

// decodePng is null in builds without a PNG decoder.
BitmapExport MakeBitmapExport(const IconImageSet& set, PngPixelsDecoder decodePng);

// A bitmap file of RGBA pixels (BITMAPV5HEADER, 32 bits, alpha mask).
[[nodiscard]] bool BuildRgbaBitmapFile(const RgbaImage& image, std::vector<uint8_t>* out);

// Whether a DIB's header is one that bitmap readers take as it is.
bool IsPlainDib(ByteSpan image);

}  // namespace vantorico
