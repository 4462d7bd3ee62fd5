// libpng: its simplified API writes (it handles its own error jumps); the
// full API reads, so that samples come out as stored.
#include "iconlib/images/png_codec.h"

#include <png.h>

#include <cstring>
#include <vector>

#include "iconlib/formats/icon_constants.h"
#include "iconlib/formats/png_header.h"

namespace vantorico {
namespace {

struct MemoryReader {
  const uint8_t* data;
  size_t size;
  size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  MemoryReader* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (length > reader->size - reader->at) png_error(png, "truncated");
  std::memcpy(out, reader->data + reader->at, length);
  reader->at += length;
}

void Refuse(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void Ignore(png_structp, png_const_charp) {}

// The rows as straight 8-bit RGBA, samples as stored: 16-bit ones to their
// high byte and no gamma applied (as WIC decodes them, and as Windows draws
// icons), palettes, low depths, grey and tRNS expanded. Into rows (the whole
// image), or when rows is null one at a time into row, each handed to sink.
// Only C objects live here: libpng's errors jump back to the setjmp below
// (the sink runs between libpng's calls, so no jump crosses it).
bool ReadRows(ByteSpan bytes, uint32_t width, uint32_t height, png_bytep* rows, png_bytep row,
              RgbaRowSink* sink) {
  MemoryReader reader = {bytes.data(), bytes.size(), 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Refuse, Ignore);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_read_info(png, info);
  if (png_get_image_width(png, info) != width || png_get_image_height(png, info) != height) {
    png_error(png, "size");
  }
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != png_size_t{width} * 4) png_error(png, "row size");
  if (rows) {
    png_read_image(png, rows);
  } else {
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE) png_error(png, "interlaced");
    for (uint32_t y = 0; y < height; ++y) {
      png_read_row(png, row, nullptr);
      sink->TakeRow(row);
    }
  }
  // Read to the end either way, so that both refuse the same streams.
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

PngEncodeResult EncodePng(const RgbaImage& image) {
  PngEncodeResult result;
  result.error = EncodableImageError(image);
  if (!result.ok()) return result;
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
  PngHeader header;
  result.error = DecodableHeaderError(bytes, &header);
  if (!result.ok()) return result;
  RgbaImage& out = result.image;
  out.width = header.width;
  out.height = header.height;
  out.pixels.resize(size_t{out.width} * out.height * 4);
  std::vector<png_bytep> rows(out.height);
  for (uint32_t y = 0; y < out.height; ++y) rows[y] = &out.pixels[size_t{y} * out.width * 4];
  if (!ReadRows(bytes, out.width, out.height, rows.data(), nullptr, nullptr)) {
    result.image = RgbaImage();
    result.error = PngCodecError::Malformed;
  }
  return result;
}

PngCodecError DecodePngRows(ByteSpan bytes, RgbaRowSink* sink) {
  PngHeader header;
  const PngCodecError error = DecodableHeaderError(bytes, &header);
  if (error != PngCodecError::None) return error;
  uint8_t interlace = 0;
  if (!ByteCursor(bytes).PeekU8At(kPngIhdrInterlaceOffset, &interlace)) {
    return PngCodecError::Malformed;
  }
  if (!sink->Begin(header.width, header.height)) return PngCodecError::Refused;
  if (interlace != 0) {
    // Adam7 spreads every row over seven passes across the whole image, so
    // libpng needs all of it: an interlaced PNG is decoded whole, then handed
    // over a row at a time.
    const PngDecodeResult whole = DecodePng(bytes);
    if (!whole.ok()) return whole.error;
    for (uint32_t y = 0; y < whole.image.height; ++y) {
      sink->TakeRow(whole.image.pixels.data() + size_t{y} * whole.image.width * 4);
    }
    return PngCodecError::None;
  }
  std::vector<uint8_t> row(size_t{header.width} * 4);
  return ReadRows(bytes, header.width, header.height, nullptr, row.data(), sink)
             ? PngCodecError::None
             : PngCodecError::Malformed;
}

}  // namespace vantorico
