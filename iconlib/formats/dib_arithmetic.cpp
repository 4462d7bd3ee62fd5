#include "iconlib/formats/dib_arithmetic.h"

#include "iconlib/formats/icon_constants.h"

namespace vantorico {

bool ReadDibHeader(ByteSpan image, DibHeader* out) {
  if (image.size() < kInfoHeaderSize) return false;
  const ByteCursor c(image);
  uint32_t width = 0, height = 0;
  bool ok = c.PeekU32At(kBiSizeOffset, &out->biSize) && c.PeekU32At(kBiWidthOffset, &width) &&
            c.PeekU32At(kBiHeightOffset, &height) && c.PeekU16At(kBiPlanesOffset, &out->biPlanes) &&
            c.PeekU16At(kBiBitCountOffset, &out->biBitCount) &&
            c.PeekU32At(kBiSizeImageOffset, &out->biSizeImage) &&
            c.PeekU32At(kBiClrUsedOffset, &out->biClrUsed);
  out->biWidth = static_cast<int32_t>(width);
  out->biHeight = static_cast<int32_t>(height);
  return ok;
}

uint32_t DibColorCount(const DibHeader& header) {
  if (header.biClrUsed != 0) return header.biClrUsed;
  switch (header.biBitCount) {
    case 1:
      return kColorsOf1Bit;
    case 4:
      return kColorsOf4Bit;
    case 8:
      return kColorsOf8Bit;
    default:
      return 0;
  }
}

uint32_t DibPaletteSize(const DibHeader& header) {
  return (DibColorCount(header) * kPaletteEntrySize) & kPaletteSizeMask;
}

int64_t DibRowStride(const DibHeader& header) {
  const int64_t bits = int64_t{header.biBitCount} * header.biPlanes * header.biWidth;
  return ((bits + kRowPadBits) >> kBitsPerByteShift) & kRowAlignMask;
}

int32_t HalvedHeight(int32_t storedHeight) {
  return storedHeight / kStoredHeightFactor;
}

}  // namespace vantorico
