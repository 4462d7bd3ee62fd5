// libpng's simplified API: it handles its own error jumps, so no longjmp
// crosses this file's C++ objects.
#include "iconlib/png_codec.h"

#include <png.h>

#include <cstring>

#include "iconlib/png_header.h"

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
  }
  return "unknown";
}

PngEncodeResult EncodePng(const RgbaImage& image) {
  PngEncodeResult result;
  const uint64_t pixels = uint64_t{image.width} * image.height;
  if (pixels == 0 || image.pixels.size() != pixels * 4) {
    result.error = PngCodecError::EmptyImage;
    return result;
  }
  if (pixels > kMaxDecodedPixels) {
    result.error = PngCodecError::ImageTooLarge;
    return result;
  }
  png_image png;
  std::memset(&png, 0, sizeof(png));
  png.version = PNG_IMAGE_VERSION;
  png.width = image.width;
  png.height = image.height;
  png.format = PNG_FORMAT_RGBA;
  const png_int_32 stride = static_cast<png_int_32>(image.width * 4);
  // One pass into a buffer of libpng's bound for the image, then trimmed
  // (asking for the size first would compress everything twice).
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(png);
  result.bytes.resize(static_cast<size_t>(size));
  if (!png_image_write_to_memory(&png, result.bytes.data(), &size, 0, image.pixels.data(), stride,
                                 nullptr)) {
    png_image_free(&png);
    result.bytes.clear();
    result.error = PngCodecError::Malformed;
    return result;
  }
  result.bytes.resize(size);
  return result;
}

PngDecodeResult DecodePng(ByteSpan bytes) {
  PngDecodeResult result;
  if (!IsPngImage(bytes)) {
    result.error = PngCodecError::NotPng;
    return result;
  }
  png_image png;
  std::memset(&png, 0, sizeof(png));
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
    png_image_free(&png);
    result.error = PngCodecError::Malformed;
    return result;
  }
  const uint64_t pixels = uint64_t{png.width} * png.height;
  if (pixels == 0 || pixels > kMaxDecodedPixels) {
    png_image_free(&png);
    result.error = pixels == 0 ? PngCodecError::EmptyImage : PngCodecError::ImageTooLarge;
    return result;
  }
  png.format = PNG_FORMAT_RGBA;
  RgbaImage& out = result.image;
  out.width = png.width;
  out.height = png.height;
  out.pixels.resize(static_cast<size_t>(pixels) * 4);
  if (!png_image_finish_read(&png, nullptr, out.pixels.data(),
                             static_cast<png_int_32>(out.width * 4), nullptr)) {
    png_image_free(&png);
    result.image = RgbaImage();
    result.error = PngCodecError::Malformed;
    return result;
  }
  return result;
}

}  // namespace vantorico
