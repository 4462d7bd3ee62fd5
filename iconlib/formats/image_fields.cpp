#include "iconlib/formats/image_fields.h"

#include "iconlib/formats/dib_arithmetic.h"
#include "iconlib/formats/png_header.h"

namespace vantorico {
namespace {

void ClearFields(IconImageEntry* entry) {
  entry->width = 0;
  entry->height = 0;
  entry->bitDepth = 0;
  entry->header = nullptr;
  entry->colorBits = nullptr;
  entry->maskBits = nullptr;
}

void DerivePngFields(IconImageEntry* entry) {
  PngHeader png;
  if (!ReadPngHeader(ImageBytes(*entry), &png)) return;
  entry->width = static_cast<int32_t>(png.width);
  entry->height = static_cast<int32_t>(png.height);
  entry->bitDepth = PngBitsPerPixel(png);
}

void DeriveDibFields(IconImageEntry* entry) {
  const ByteSpan bytes = ImageBytes(*entry);
  DibHeader h;
  if (!ReadDibHeader(bytes, &h) || h.biSize < kInfoHeaderSize) return;
  const int32_t height = HalvedHeight(h.biHeight);
  const int64_t stride = DibRowStride(h);
  if (height < 0 || stride < 0) return;
  // The colour rows must end inside data: biSize + palette + stride x height.
  const uint64_t color_offset = uint64_t{h.biSize} + DibPaletteSize(h);
  if (color_offset > bytes.size()) return;
  const uint64_t room = bytes.size() - color_offset;
  if (height > 0 && static_cast<uint64_t>(stride) > room / static_cast<uint64_t>(height)) return;
  const uint64_t rows = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
  // Zero-length slices give the address of a boundary, one past the end included.
  ByteSpan color, mask;
  if (!bytes.Slice(static_cast<size_t>(color_offset), 0, &color) ||
      !bytes.Slice(static_cast<size_t>(color_offset + rows), 0, &mask)) {
    return;
  }
  entry->header = bytes.data();
  entry->width = h.biWidth;
  entry->height = height;
  entry->bitDepth = uint32_t{h.biPlanes} * h.biBitCount;
  entry->colorBits = color.data();
  entry->maskBits = mask.data();
}

}  // namespace

ByteSpan ImageBytes(const IconImageEntry& entry) {
  return ByteSpan(entry.data, entry.dataSize);
}

bool IsPngEntry(const IconImageEntry& entry) {
  return IsPngImage(ImageBytes(entry));
}

bool IsDescribedDib(const IconImageEntry& entry) {
  return entry.header != nullptr;
}

bool DeriveImageFields(IconImageEntry* entry) {
  if (!entry) return false;
  ClearFields(entry);
  if (IsPngEntry(*entry)) {
    DerivePngFields(entry);
  } else {
    DeriveDibFields(entry);
  }
  return true;
}

}  // namespace vantorico
