#include "iconlib/images/bitmap_export.h"

#include <cstring>
#include <new>

#include "iconlib/formats/bitmap_file_writer.h"
#include "iconlib/formats/dib_arithmetic.h"
#include "iconlib/images/dib_decoder.h"
#include "iconlib/formats/icon_constants.h"
#include "iconlib/images/image_choice.h"
#include "iconlib/formats/image_fields.h"

namespace vantorico {
namespace {

constexpr uint32_t kRedMask = 0x00FF0000;
constexpr uint32_t kGreenMask = 0x0000FF00;
constexpr uint32_t kBlueMask = 0x000000FF;
constexpr uint32_t kAlphaMask = 0xFF000000;
constexpr size_t kBytesPerPixel = 4;
constexpr uint32_t kMaxPlainBits = 8;

bool IsReaderBitCount(uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

bool IsPlainDib(ByteSpan image) {
  DibHeader h;
  uint32_t compression = 0;
  if (!ReadDibHeader(image, &h) ||
      !ByteCursor(image).PeekU32At(kBiCompressionOffset, &compression)) {
    return false;
  }
  if (h.biPlanes != 1 || !IsReaderBitCount(h.biBitCount) || compression != kBiRgb) return false;
  if (h.biWidth <= 0 || HalvedHeight(h.biHeight) == 0) return false;
  // The palette the header claims is the palette there is: all of it (no
  // 16-bit cut), at most 2^bits entries, none at all above 8 bits.
  const uint64_t colors = DibColorCount(h);
  if (h.biBitCount > kMaxPlainBits ? h.biClrUsed != 0 : colors > (uint64_t{1} << h.biBitCount)) {
    return false;
  }
  if (uint64_t{DibPaletteSize(h)} != colors * kPaletteEntrySize) return false;
  return DecodeDib(image).ok();
}

bool BuildRgbaBitmapFile(const RgbaImage& image, std::vector<uint8_t>* out) {
  const uint64_t pixels = uint64_t{image.width} * image.height;
  if (pixels == 0 || image.pixels.size() != pixels * kBytesPerPixel) return false;
  const uint64_t rows = pixels * kBytesPerPixel;
  const uint64_t offset = kBitmapFileHeaderSize + kV5HeaderSize;
  const uint64_t size = offset + rows;
  if (size > UINT32_MAX || image.width > INT32_MAX || image.height > INT32_MAX) return false;
  try {
    out->assign(static_cast<size_t>(size), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  uint8_t* p = out->data();
  p[0] = kBitmapSignature[0];
  p[1] = kBitmapSignature[1];
  StoreU32(p + kBitmapSizeOffset, static_cast<uint32_t>(size));
  StoreU32(p + kBitmapPixelOffsetOffset, static_cast<uint32_t>(offset));
  uint8_t* h = p + kBitmapFileHeaderSize;
  StoreU32(h + kBiSizeOffset, kV5HeaderSize);
  StoreU32(h + kBiWidthOffset, image.width);
  StoreU32(h + kBiHeightOffset, image.height);  // positive: bottom-up
  StoreU16(h + kBiPlanesOffset, 1);
  StoreU16(h + kBiBitCountOffset, 32);
  StoreU32(h + kBiCompressionOffset, kBiBitfields);
  StoreU32(h + kBiSizeImageOffset, static_cast<uint32_t>(rows));
  StoreU32(h + kBiXPelsOffset, kPixelsPerMetre96Dpi);
  StoreU32(h + kBiYPelsOffset, kPixelsPerMetre96Dpi);
  StoreU32(h + kV5RedMaskOffset, kRedMask);
  StoreU32(h + kV5GreenMaskOffset, kGreenMask);
  StoreU32(h + kV5BlueMaskOffset, kBlueMask);
  StoreU32(h + kV5AlphaMaskOffset, kAlphaMask);
  StoreU32(h + kV5ColorSpaceOffset, kColorSpaceSrgb);
  StoreU32(h + kV5IntentOffset, kIntentImages);
  uint8_t* row = p + offset;
  const size_t stride = size_t{image.width} * kBytesPerPixel;
  for (uint32_t y = image.height; y-- > 0; row += stride) {
    const uint8_t* from = image.pixels.data() + size_t{y} * stride;
    for (size_t x = 0; x < stride; x += kBytesPerPixel) {
      row[x] = from[x + 2];  // B G R A
      row[x + 1] = from[x + 1];
      row[x + 2] = from[x];
      row[x + 3] = from[x + 3];
    }
  }
  return true;
}

BitmapExport MakeBitmapExport(const IconImageSet& set, PngPixelsDecoder decodePng) {
  BitmapExport out;
  for (uint32_t i = 0; i < set.imageCount; ++i) {
    const IconImageEntry& e = set.images[i];
    if (IsPngEntry(e)) continue;
    const ByteSpan bytes = ImageBytes(e);
    out.imageIndex = i;
    if (IsDescribedDib(e) && IsPlainDib(bytes) && BuildBitmapFile(e, &out.bytes)) {
      out.storedBytes = true;
      return out;
    }
    DibDecodeResult decoded = DecodeDib(bytes);
    if (!decoded.ok()) continue;
    if (!BuildRgbaBitmapFile(decoded.image, &out.bytes)) out.error = BitmapExportError::TooLarge;
    return out;
  }
  // No DIB: the largest PNG image that decodes.
  std::vector<ImageDescription> described;
  for (uint32_t i = 0; i < set.imageCount; ++i) {
    described.push_back(DescribeImage(ImageBytes(set.images[i])));
  }
  bool anyPng = false;
  for (size_t index : ImagePreference(described, 0)) {
    if (!described[index].isPng) continue;
    anyPng = true;
    RgbaImage pixels;
    if (!decodePng || !decodePng(ImageBytes(set.images[index]), &pixels)) continue;
    out.imageIndex = static_cast<uint32_t>(index);
    if (!BuildRgbaBitmapFile(pixels, &out.bytes)) out.error = BitmapExportError::TooLarge;
    return out;
  }
  out.error = anyPng && !decodePng ? BitmapExportError::PngOnly : BitmapExportError::NoImage;
  return out;
}

}  // namespace vantorico
