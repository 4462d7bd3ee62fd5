#include "iconlib/formats/exact_icon_file.h"

#include <cstring>

#include "iconlib/formats/icon_constants.h"
#include "iconlib/formats/icon_file_writer.h"

namespace vantorico {
namespace {

// Bytes of a group directory entry copied into the file's entry: all but
// the 16-bit image identifier, which the file's 32-bit offset replaces.
constexpr size_t kStoredEntryCopied = kGroupEntryIdOffset;
constexpr size_t kSizeImageBytes = 4;

}  // namespace

bool BuildExactIconFile(const IconImageSet& set, std::vector<uint8_t>* out) {
  // The default file, with the one field it changes in each image put back.
  if (!BuildIconFile(set, out)) return false;
  // The images lie back to back after the directory (BuildIconFile checked
  // that the whole file fits in 32 bits).
  size_t at = kIconFileHeaderSize + kIconFileEntrySize * size_t{set.imageCount};
  for (uint32_t i = 0; i < set.imageCount; ++i) {
    const IconImageEntry& image = set.images[i];
    if (image.dataSize >= kBiSizeImageOffset + kSizeImageBytes) {
      std::memcpy(out->data() + at + kBiSizeImageOffset, image.data + kBiSizeImageOffset,
                  kSizeImageBytes);
    }
    at += image.dataSize;
  }
  return true;
}

bool BuildStoredDirectoryIconFile(const IconImageSet& set, ByteSpan groupDirectory,
                                  std::vector<uint8_t>* out) {
  ByteSpan entries;
  if (!groupDirectory.Slice(kGroupHeaderSize, kGroupEntrySize * size_t{set.imageCount}, &entries) ||
      !BuildExactIconFile(set, out)) {
    return false;
  }
  for (uint32_t i = 0; i < set.imageCount; ++i) {
    std::memcpy(out->data() + kIconFileHeaderSize + kIconFileEntrySize * size_t{i},
                entries.data() + kGroupEntrySize * size_t{i}, kStoredEntryCopied);
  }
  return true;
}

}  // namespace vantorico
