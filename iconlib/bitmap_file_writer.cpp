#include "iconlib/bitmap_file_writer.h"

#include <cstring>

#include "base/heap.h"
#include "iconlib/dib_arithmetic.h"
#include "iconlib/image_fields.h"

namespace vantorico {
namespace {

struct BodyBlock {
  uint8_t* bytes = nullptr;
  ~BodyBlock() { HeapRelease(bytes); }
};

}  // namespace

bool WriteBitmapFile(const char* path, const IconImageEntry* entry) {
  if (!entry || IsPngEntry(*entry) || !IsDescribedDib(*entry)) return false;
  DibHeader h;
  if (!ReadDibHeader(ImageBytes(*entry), &h)) return false;
  // DeriveImageFields has checked that biSize + P + S x h lies inside data,
  // and biSize is at least 40, so the body below does too.
  const uint32_t palette = DibPaletteSize(h);
  const uint64_t rows =
      static_cast<uint64_t>(DibRowStride(h)) * static_cast<uint64_t>(entry->height);
  const uint64_t body_size = kInfoHeaderSize + uint64_t{palette} + rows;
  if (body_size > entry->dataSize) return false;

  BodyBlock body;
  body.bytes = static_cast<uint8_t*>(HeapTryAllocate(static_cast<size_t>(body_size)));
  if (!body.bytes) return false;
  std::memcpy(body.bytes, entry->data, static_cast<size_t>(body_size));
  StoreU32(body.bytes + kBiHeightOffset, static_cast<uint32_t>(HalvedHeight(h.biHeight)));

  uint8_t file_header[kBitmapFileHeaderSize] = {};
  file_header[0] = kBitmapSignature[0];
  file_header[1] = kBitmapSignature[1];
  StoreU32(file_header + kBitmapSizeOffset,
           static_cast<uint32_t>(kBitmapFileHeaderSize + body_size));
  StoreU32(file_header + kBitmapPixelOffsetOffset, kBitmapHeadersSize + palette);

  std::unique_ptr<OutputFile> file = CreateOutputFile(path);
  if (!file) return false;
  return file->Write(file_header, sizeof(file_header)) &&
         file->Write(body.bytes, static_cast<uint32_t>(body_size));
}

}  // namespace vantorico
