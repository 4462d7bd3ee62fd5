#include "iconlib/icon_file_writer.h"

#include <cstring>

#include "base/heap.h"
#include "iconlib/image_fields.h"

namespace vantorico {
namespace {

struct ScratchBlock {
  uint8_t* bytes = nullptr;
  ~ScratchBlock() { HeapRelease(bytes); }
};

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

uint32_t IconImageOffset(const IconImageSet* set, uint32_t i) {
  uint32_t offset =
      static_cast<uint32_t>(kIconFileHeaderSize + kIconFileEntrySize * size_t{set->imageCount});
  for (uint32_t k = 0; k < i && k < set->imageCount; ++k) offset += set->images[k].dataSize;
  return offset;
}

bool WriteIconFileHeader(OutputFile& file, uint32_t imageCount) {
  uint8_t field[kIconFileHeaderFieldSize];
  const uint16_t values[] = {kIconFileReserved, kIconFileTypeIcon,
                             static_cast<uint16_t>(imageCount)};
  for (uint16_t v : values) {
    StoreU16(field, v);
    if (!file.Write(field, sizeof(field))) return false;
  }
  return true;
}

bool WriteIconFileTo(const IconImageSet* set, OutputFile& file) {
  if (!WriteIconFileHeader(file, set->imageCount)) return false;
  uint32_t largest = 0;
  for (uint32_t i = 0; i < set->imageCount; ++i) {
    uint8_t entry[kIconFileEntrySize];
    BuildIconDirectoryEntry(set->images[i], IconImageOffset(set, i), entry);
    if (!file.Write(entry, sizeof(entry))) return false;
    if (ZeroesSizeImage(set->images[i]) && set->images[i].dataSize > largest) {
      largest = set->images[i].dataSize;
    }
  }
  // Images whose biSizeImage goes out as 0 are written from a copy, so the
  // set stays as it was.
  ScratchBlock scratch;
  if (largest > 0) {
    scratch.bytes = static_cast<uint8_t*>(HeapTryAllocate(largest));
    if (!scratch.bytes) return false;
  }
  for (uint32_t i = 0; i < set->imageCount; ++i) {
    const IconImageEntry& image = set->images[i];
    const uint8_t* bytes = image.data;
    if (ZeroesSizeImage(image)) {
      std::memcpy(scratch.bytes, image.data, image.dataSize);
      StoreU32(scratch.bytes + kBiSizeImageOffset, 0);
      bytes = scratch.bytes;
    }
    if (!file.Write(bytes, image.dataSize)) return false;
  }
  return true;
}

bool WriteIconFile(const IconImageSet* set, const char* path) {
  if (!set) return false;
  std::unique_ptr<OutputFile> file = CreateOutputFile(path);
  if (!file) return false;
  return WriteIconFileTo(set, *file);
}

}  // namespace vantorico
