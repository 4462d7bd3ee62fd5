#pragma once
// Arithmetic on an image's BITMAPINFOHEADER, shared by the readers and writers.
#include <cstdint>

#include "base/byte_cursor.h"

namespace vantorico {

// The BITMAPINFOHEADER fields the engine uses.
struct DibHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biSizeImage;
  uint32_t biClrUsed;
};

// Reads the fields from the first 40 bytes; false when there are fewer.
bool ReadDibHeader(ByteSpan image, DibHeader* out);

// biClrUsed when set, otherwise by biBitCount alone (1, 4, 8 bits; else 0).
uint32_t DibColorCount(const DibHeader& header);
// DibColorCount x 4, keeping the low 16 bits.
uint32_t DibPaletteSize(const DibHeader& header);
// Bytes of one colour row, padded to a multiple of four. Computed in 64 bits
// so that hostile widths cannot wrap; negative for a negative width.
int64_t DibRowStride(const DibHeader& header);

// The stored height halved, truncated toward zero.
int32_t HalvedHeight(int32_t storedHeight);

}  // namespace vantorico
