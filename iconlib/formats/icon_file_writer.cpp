#include "iconlib/formats/icon_file_writer.h"

#include <cstring>
#include <new>

#include "iconlib/formats/image_fields.h"

namespace vantorico {
namespace {

// Planes and bit count as the directory shows them: from IHDR for a PNG
// image, else from the header bytes the image has (0 when it is too short).
void DirectoryDepth(const IconImageEntry& entry, uint16_t* planes, uint16_t* bitCount) {
  *planes = 0;
  *bitCount = 0;
  if (IsPngEntry(entry)) {
    *planes = kPngDirectoryPlanes;
    *bitCount = static_cast<uint16_t>(entry.bitDepth);
    return;
  }
  const ByteCursor c(ImageBytes(entry));
  if (!c.PeekU16At(kBiPlanesOffset, planes) || !c.PeekU16At(kBiBitCountOffset, bitCount)) {
    *planes = 0;
    *bitCount = 0;
  }
}

// biSizeImage is written as 0, but only where the image has a whole DIB
// header for it to be part of; PNG bytes go out unchanged.
bool ZeroesSizeImage(const IconImageEntry& entry) {
  return !IsPngEntry(entry) && entry.dataSize >= kInfoHeaderSize;
}

}  // namespace

void BuildIconDirectoryEntry(const IconImageEntry& entry, uint32_t offset,
                             uint8_t out[kIconFileEntrySize]) {
  uint16_t planes = 0, bit_count = 0;
  DirectoryDepth(entry, &planes, &bit_count);
  uint8_t colors = 0;
  if (!IsPngEntry(entry)) {
    const uint32_t depth = uint32_t{planes} * bit_count;
    colors = depth < kDirectoryPaletteDepthLimit ? static_cast<uint8_t>(1u << depth) : 0;
  }
  out[0] = static_cast<uint8_t>(static_cast<uint32_t>(entry.width) & kDirectoryByteMask);
  out[1] = static_cast<uint8_t>(static_cast<uint32_t>(entry.height) & kDirectoryByteMask);
  out[2] = colors;
  out[3] = 0;
  StoreU16(out + 4, planes);
  StoreU16(out + 6, bit_count);
  StoreU32(out + kIconFileEntrySizeOffset, entry.dataSize);
  StoreU32(out + kIconFileEntryOffsetOffset, offset);
}

bool IconFileSize(const IconImageSet& set, size_t* size) {
  uint64_t total = kIconFileHeaderSize + uint64_t{kIconFileEntrySize} * set.imageCount;
  for (uint32_t i = 0; i < set.imageCount; ++i) total += set.images[i].dataSize;
  if (total > UINT32_MAX) return false;
  *size = static_cast<size_t>(total);
  return true;
}

void WriteIconFile(const IconImageSet& set, uint8_t* out) {
  // Reserved 0, type 1, the low 16 bits of the count.
  StoreU16(out, kIconFileReserved);
  StoreU16(out + kIconFileHeaderFieldSize, kIconFileTypeIcon);
  StoreU16(out + 2 * kIconFileHeaderFieldSize, static_cast<uint16_t>(set.imageCount));
  uint8_t* entry = out + kIconFileHeaderSize;
  // One pass: each image's offset follows from the one before (IconFileSize
  // checked that the whole file fits in 32 bits).
  auto offset = static_cast<uint32_t>(kIconFileHeaderSize + kIconFileEntrySize * set.imageCount);
  for (uint32_t i = 0; i < set.imageCount; ++i) {
    const IconImageEntry& image = set.images[i];
    BuildIconDirectoryEntry(image, offset, entry);
    entry += kIconFileEntrySize;
    if (image.dataSize) std::memcpy(out + offset, image.data, image.dataSize);
    // The copy, not the set, gets biSizeImage 0: the set stays as it was.
    if (ZeroesSizeImage(image)) StoreU32(out + offset + kBiSizeImageOffset, 0);
    offset += image.dataSize;
  }
}

bool BuildIconFile(const IconImageSet& set, std::vector<uint8_t>* out) {
  size_t size = 0;
  if (!IconFileSize(set, &size)) return false;
  try {
    out->resize(size);
  } catch (const std::bad_alloc&) {
    return false;
  }
  WriteIconFile(set, out->data());
  return true;
}

}  // namespace vantorico
