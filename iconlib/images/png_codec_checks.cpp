// What both PNG codecs refuse before they hand anything to their library.
#include "iconlib/images/png_codec.h"

namespace vantorico {

const char* PngCodecErrorName(PngCodecError error) {
  switch (error) {
    case PngCodecError::None:
      return "none";
    case PngCodecError::EmptyImage:
      return "empty image";
    case PngCodecError::ImageTooLarge:
      return "image too large";
    case PngCodecError::NotPng:
      return "not PNG";
    case PngCodecError::Malformed:
      return "malformed PNG";
    case PngCodecError::Unavailable:
      return "PNG codec unavailable";
    case PngCodecError::Refused:
      return "refused by the caller";
  }
  return "unknown";
}

PngCodecError PixelCountError(uint32_t width, uint32_t height) {
  const uint64_t pixels = uint64_t{width} * height;
  if (pixels == 0) return PngCodecError::EmptyImage;
  if (pixels > kMaxDecodedPixels) return PngCodecError::ImageTooLarge;
  return PngCodecError::None;
}

PngCodecError DecodableHeaderError(ByteSpan png, PngHeader* header) {
  if (!IsPngImage(png)) return PngCodecError::NotPng;
  // The size is refused from the header, before the codec allocates for it.
  if (!ReadPngHeader(png, header)) return PngCodecError::Malformed;
  return PixelCountError(header->width, header->height);
}

PngCodecError EncodableImageError(const RgbaImage& image) {
  const uint64_t pixels = uint64_t{image.width} * image.height;
  if (pixels == 0 || image.pixels.size() != pixels * 4) return PngCodecError::EmptyImage;
  return PixelCountError(image.width, image.height);
}

}  // namespace vantorico
