#include "iconlib/formats/bitmap_file_writer.h"

#include <cstring>
#include <new>

#include "iconlib/formats/dib_arithmetic.h"
#include "iconlib/formats/image_fields.h"

namespace vantorico {

bool BuildBitmapFile(const IconImageEntry& entry, std::vector<uint8_t>* out) {
  if (IsPngEntry(entry) || !IsDescribedDib(entry)) return false;
  DibHeader h;
  if (!ReadDibHeader(ImageBytes(entry), &h)) return false;
  // DeriveImageFields has checked that biSize + P + S x h lies inside data.
  // The pixel rows start after the header as long as it really is (a
  // BITMAPV5HEADER is 124 bytes), not after 40 bytes.
  const uint64_t palette = DibPaletteSize(h);
  const uint64_t rows =
      static_cast<uint64_t>(DibRowStride(h)) * static_cast<uint64_t>(entry.height);
  const uint64_t pixel_offset = kBitmapFileHeaderSize + uint64_t{h.biSize} + palette;
  const uint64_t body_size = uint64_t{h.biSize} + palette + rows;
  if (body_size > entry.dataSize) return false;
  const uint64_t file_size = kBitmapFileHeaderSize + body_size;
  if (file_size > UINT32_MAX) return false;
  try {
    out->assign(static_cast<size_t>(file_size), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  uint8_t* p = out->data();
  p[0] = kBitmapSignature[0];
  p[1] = kBitmapSignature[1];
  StoreU32(p + kBitmapSizeOffset, static_cast<uint32_t>(file_size));
  StoreU32(p + kBitmapPixelOffsetOffset, static_cast<uint32_t>(pixel_offset));
  std::memcpy(p + kBitmapFileHeaderSize, entry.data, static_cast<size_t>(body_size));
  StoreU32(p + kBitmapFileHeaderSize + kBiHeightOffset,
           static_cast<uint32_t>(HalvedHeight(h.biHeight)));
  return true;
}

}  // namespace vantorico
