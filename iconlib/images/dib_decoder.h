#pragma once
// Decoding one icon image stored as a DIB (the bytes of an RT_ICON resource
// or of an .ico entry) into straight RGBA. Portable; every read goes through
// ByteSpan / ByteCursor and every size is checked in 64 bits before anything
// is allocated.
//
// Layout: BITMAPINFOHEADER (biSize >= 40), BI_BITFIELDS masks after a 40-byte
// header, the palette (biClrUsed entries, or 2^bits below 16 bits), the XOR
// rows for half the stored height, then the 1-bit AND mask rows. Rows are
// bottom-up unless the height is negative.
//
// Pixels: 1, 4 and 8 bits index the palette (an index past it gives black);
// 16 bits are 5-5-5 or the BI_BITFIELDS masks; 24 bits BGR; 32 bits BGRA (or
// masks). An AND mask bit of 1 makes the pixel transparent, except for 32-bit
// images with any non-zero alpha, which use their alpha and ignore the mask.
// biPlanes is not looked at (the palette and row sizes use biBitCount alone).
#include <cstdint>

#include "base/byte_cursor.h"
#include "iconlib/images/rgba_image.h"

namespace vantorico {

enum class DibDecodeError {
  None,
  HeaderTruncated,         // fewer than 40 bytes
  HeaderSizeTooSmall,      // biSize < 40
  HeaderPastData,          // biSize larger than the bytes
  UnsupportedBitCount,     // not 1, 4, 8, 16, 24 or 32
  UnsupportedCompression,  // not BI_RGB, nor BI_BITFIELDS at 16 or 32 bits
  BadWidth,                // zero or negative
  BadHeight,               // half the stored height is zero
  ImageTooLarge,           // more than kMaxDecodedPixels
  MasksPastData,           // BI_BITFIELDS masks after the header cut off
  PalettePastData,         // the palette does not fit
  ColorRowsPastData,       // the XOR rows do not fit
  MaskRowsPastData,        // the AND mask rows do not fit
  Refused,                 // the row sink refused the image's size
};

const char* DibDecodeErrorName(DibDecodeError error);

struct [[nodiscard]] DibDecodeResult {
  DibDecodeError error = DibDecodeError::None;
  RgbaImage image;  // set only when error is None
  bool ok() const { return error == DibDecodeError::None; }
};

[[nodiscard]] DibDecodeResult DecodeDib(ByteSpan image);
// The same pixels handed to sink a row at a time, top row first, read from
// the stored rows without a whole image in memory.
[[nodiscard]] DibDecodeError DecodeDibRows(ByteSpan image, RgbaRowSink* sink);

}  // namespace vantorico
