#include "iconlib/formats/png_header.h"

#include <cstring>

#include "iconlib/formats/icon_constants.h"

namespace vantorico {
namespace {

bool PeekU32BigEndian(ByteSpan span, size_t offset, uint32_t* out) {
  ByteSpan field;
  if (!span.Slice(offset, sizeof(uint32_t), &field)) return false;
  uint32_t v = 0;
  for (size_t i = 0; i < sizeof(uint32_t); ++i) v = (v << 8) | field.data()[i];
  *out = v;
  return true;
}

bool SpanStartsWith(ByteSpan span, size_t offset, const uint8_t* bytes, size_t count) {
  ByteSpan part;
  return span.Slice(offset, count, &part) && std::memcmp(part.data(), bytes, count) == 0;
}

}  // namespace

bool IsPngImage(ByteSpan image) {
  return SpanStartsWith(image, 0, kPngSignature, sizeof(kPngSignature));
}

bool ReadPngHeader(ByteSpan image, PngHeader* out) {
  if (!IsPngImage(image) || image.size() < kPngMinimumSize) return false;
  if (!SpanStartsWith(image, kPngIhdrTypeOffset, kPngIhdrType, sizeof(kPngIhdrType))) return false;
  const ByteCursor c(image);
  return PeekU32BigEndian(image, kPngIhdrWidthOffset, &out->width) &&
         PeekU32BigEndian(image, kPngIhdrHeightOffset, &out->height) &&
         c.PeekU8At(kPngIhdrBitDepthOffset, &out->bitDepth) &&
         c.PeekU8At(kPngIhdrColorTypeOffset, &out->colorType);
}

bool IsInterlacedPng(ByteSpan image) {
  uint8_t method = 0;
  return IsPngImage(image) && ByteCursor(image).PeekU8At(kPngIhdrInterlaceOffset, &method) &&
         method != 0;
}

uint32_t PngBitsPerPixel(const PngHeader& header) {
  uint32_t samples = 0;
  switch (header.colorType) {
    case kPngColorTypeGrey:
    case kPngColorTypePalette:
      samples = 1;
      break;
    case kPngColorTypeGreyAlpha:
      samples = 2;
      break;
    case kPngColorTypeRgb:
      samples = 3;
      break;
    case kPngColorTypeRgba:
      samples = 4;
      break;
    default:
      return 0;
  }
  return samples * header.bitDepth;
}

}  // namespace vantorico
