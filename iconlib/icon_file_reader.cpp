#include "iconlib/icon_file_reader.h"

#include "base/heap.h"
#include "iconlib/image_fields.h"

namespace vantorico {
namespace {

bool ReadHeaderField(InputFile& file, uint16_t* value) {
  uint8_t bytes[kIconFileHeaderFieldSize];
  uint32_t got = 0;
  if (!file.Read(bytes, sizeof(bytes), &got) || got != sizeof(bytes)) return false;
  return ByteCursor(bytes, sizeof(bytes)).ReadU16(value);
}

// Owns the directory bytes for the length of one read.
struct DirectoryBlock {
  uint8_t* bytes = nullptr;
  ~DirectoryBlock() { HeapRelease(bytes); }
};

struct ImagePlace {
  uint32_t size;
  uint32_t offset;
};

bool ReadImagePlace(const ByteCursor& directory, uint32_t i, ImagePlace* place) {
  const size_t at = size_t{i} * kIconFileEntrySize;
  return directory.PeekU32At(at + kIconFileEntrySizeOffset, &place->size) &&
         directory.PeekU32At(at + kIconFileEntryOffsetOffset, &place->offset);
}

}  // namespace

IconImageSet* ReadIconFileFrom(InputFile& file, const char* path) {
  uint16_t reserved = 1, type = 0, count = 0;
  if (!ReadHeaderField(file, &reserved) || !ReadHeaderField(file, &type) ||
      !ReadHeaderField(file, &count) || reserved != kIconFileReserved ||
      type != kIconFileTypeIcon) {
    return nullptr;
  }
  const uint64_t file_size = file.Size();
  const uint32_t directory_size = uint32_t{count} * kIconFileEntrySize;
  if (kIconFileHeaderSize + uint64_t{directory_size} > file_size) return nullptr;

  DirectoryBlock directory;
  directory.bytes = static_cast<uint8_t*>(HeapTryAllocate(directory_size));
  uint32_t got = 0;
  if (!directory.bytes || !file.Read(directory.bytes, directory_size, &got) ||
      got != directory_size) {
    return nullptr;
  }
  const ByteCursor entries(directory.bytes, directory_size);

  // Every image must lie inside the file before anything else is allocated,
  // so a directory that lies about sizes cannot make the reader ask for memory.
  uint64_t total = 0;
  for (uint32_t i = 0; i < count; ++i) {
    ImagePlace place{};
    if (!ReadImagePlace(entries, i, &place) || uint64_t{place.offset} + place.size > file_size) {
      return nullptr;
    }
    total += place.size;
  }
  if (total > kMaxIconFileImageBytes) return nullptr;

  IconImageSet* set = AllocateIconImageSet(count, path, "");
  if (!set) return nullptr;
  for (uint32_t i = 0; i < count; ++i) {
    ImagePlace place{};
    ReadImagePlace(entries, i, &place);
    IconImageEntry& entry = set->images[i];
    entry.data = static_cast<uint8_t*>(HeapTryAllocate(place.size));
    if (!entry.data || !file.Seek(place.offset) || !file.Read(entry.data, place.size, &got) ||
        got != place.size) {
      ReleaseIconImageSet(set);
      return nullptr;
    }
    entry.dataSize = place.size;
    DeriveImageFields(&entry);
  }
  return set;
}

IconImageSet* ReadIconFile(const char* path) {
  std::unique_ptr<InputFile> file = OpenInputFile(path);
  if (!file) return nullptr;
  return ReadIconFileFrom(*file, path);
}

}  // namespace vantorico
