#pragma once
// One icon group's images to a PNG thumbnail: choose, decode, scale, encode.
// Takes the images' bytes, so it runs without files.
#include <cstdint>
#include <vector>

#include "base/byte_cursor.h"

namespace vantorico {

enum class ThumbnailError {
  None,
  NoImages,      // the group has no image whose size can be read
  Undecodable,   // no image decoded (DIB refused, PNG malformed)
  Blank,         // every image that decoded is fully transparent
  EncodeFailed,  // libpng could not write the result
};

const char* ThumbnailErrorName(ThumbnailError error);

struct [[nodiscard]] Thumbnail {
  ThumbnailError error = ThumbnailError::None;
  std::vector<uint8_t> png;  // the file to write
  size_t imageIndex = 0;     // which image it shows
  bool storedBytes = false;  // png is that image's own PNG bytes, unchanged
  uint32_t width = 0, height = 0;
  bool ok() const { return error == ThumbnailError::None; }
};

// Largest thumbnail edge the program accepts.
constexpr uint32_t kMaxThumbnailSize = 4096;

// size > 0: an image of exactly size (longer side) if the group has one,
// else the best one scaled to fit size x size. size 0: the best image as it
// is. Images are tried in ImagePreference order until one decodes to
// something not fully transparent. A PNG image used at its own size is
// returned as its stored bytes when they are a complete, valid PNG
// (IsCompletePng), else encoded again from its decoded pixels.
// A thumbnail is never blank; an exported picture is what the group holds,
// transparent or not.
enum class BlankImages { Refuse, Keep };
// An image smaller than size is scaled up to it (ScaleUp), or shown at its
// own size (KeepSize: the freedesktop thumbnail rule, no blurry enlargement).
enum class SmallImages { ScaleUp, KeepSize };
// Whether MakeThumbnail decodes the image whole for size: one shown at its
// own size or larger, or an interlaced PNG. Any other is scaled as its rows
// are decoded, so it costs the output and a band of rows, not its pixels.
bool DecodedWhole(ByteSpan image, uint32_t size, SmallImages small);

[[nodiscard]] Thumbnail MakeThumbnail(const std::vector<ByteSpan>& images, uint32_t size,
                                      BlankImages blank = BlankImages::Refuse,
                                      SmallImages small = SmallImages::ScaleUp);

}  // namespace vantorico
