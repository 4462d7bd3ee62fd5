#include "iconlib/exact_icon_file.h"

#include <cstring>
#include <new>

#include "iconlib/icon_constants.h"
#include "iconlib/icon_file_writer.h"

namespace vantorico {
namespace {

// Bytes of a group directory entry copied into the file's entry: all but
// the 16-bit image identifier, which the file's 32-bit offset replaces.
constexpr size_t kStoredEntryCopied = kGroupEntryIdOffset;

// Header, then entry(i, offset) for each image, then the images unchanged.
template <typename MakeEntry>
bool Build(const IconImageSet& set, std::vector<uint8_t>* out, MakeEntry entry) {
  const uint64_t directory_end =
      kIconFileHeaderSize + uint64_t{kIconFileEntrySize} * set.imageCount;
  uint64_t total = directory_end;
  for (uint32_t i = 0; i < set.imageCount; ++i) total += set.images[i].dataSize;
  if (total > UINT32_MAX) return false;
  out->clear();
  try {
    out->reserve(static_cast<size_t>(total));
  } catch (const std::bad_alloc&) {
    return false;
  }
  AppendIconFileHeader(set.imageCount, out);
  auto offset = static_cast<uint32_t>(directory_end);
  for (uint32_t i = 0; i < set.imageCount; ++i) {
    uint8_t bytes[kIconFileEntrySize];
    entry(i, offset, bytes);
    out->insert(out->end(), bytes, bytes + sizeof(bytes));
    offset += set.images[i].dataSize;
  }
  for (uint32_t i = 0; i < set.imageCount; ++i) {
    out->insert(out->end(), set.images[i].data, set.images[i].data + set.images[i].dataSize);
  }
  return true;
}

}  // namespace

bool BuildExactIconFile(const IconImageSet& set, std::vector<uint8_t>* out) {
  return Build(set, out, [&set](uint32_t i, uint32_t offset, uint8_t* bytes) {
    BuildIconDirectoryEntry(set.images[i], offset, bytes);
  });
}

bool BuildStoredDirectoryIconFile(const IconImageSet& set, ByteSpan groupDirectory,
                                  std::vector<uint8_t>* out) {
  ByteSpan entries;
  if (!groupDirectory.Slice(kGroupHeaderSize, kGroupEntrySize * size_t{set.imageCount}, &entries)) {
    return false;
  }
  return Build(set, out, [&entries](uint32_t i, uint32_t offset, uint8_t* bytes) {
    std::memcpy(bytes, entries.data() + kGroupEntrySize * size_t{i}, kStoredEntryCopied);
    StoreU32(bytes + kIconFileEntryOffsetOffset, offset);
  });
}

}  // namespace vantorico
