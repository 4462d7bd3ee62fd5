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

IconImageSetPtr ReadIconFileFrom(InputFile& file, const char* path, uint64_t byteLimit) {
  uint16_t reserved = 1, type = 0, count = 0;
  if (!ReadHeaderField(file, &reserved) || !ReadHeaderField(file, &type) ||
      !ReadHeaderField(file, &count) || reserved != kIconFileReserved ||
      type != kIconFileTypeIcon) {
    return nullptr;
  }
  const uint64_t file_size = file.Size();
  const uint32_t directory_size = uint32_t{count} * kIconFileEntrySize;
  if (kIconFileHeaderSize + uint64_t{directory_size} > file_size) return nullptr;

  HeapBytes directory = HeapTryAllocateBytes(directory_size);
  uint32_t got = 0;
  if (!directory || !file.Read(directory.get(), directory_size, &got) || got != directory_size) {
    return nullptr;
  }
  const ByteCursor entries(directory.get(), directory_size);

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
  if (total > kMaxIconFileImageBytes || total > byteLimit) return nullptr;

  IconImageSetPtr set = AllocateIconImageSet(count, path, "");
  if (!set) return nullptr;
  for (uint32_t i = 0; i < count; ++i) {
    ImagePlace place{};
    if (!ReadImagePlace(entries, i, &place)) return nullptr;
    IconImageEntry& entry = set->images[i];
    entry.data = static_cast<uint8_t*>(HeapTryAllocate(place.size));
    if (!entry.data || !file.Seek(place.offset) || !file.Read(entry.data, place.size, &got) ||
        got != place.size) {
      return nullptr;
    }
    entry.dataSize = place.size;
    DeriveImageFields(&entry);
  }
  return set;
}

IconImageSetPtr ReadIconFile(const char* path) {
  SourceFile source = ReadSourceFile(path);
  if (!source.view) return nullptr;
  std::unique_ptr<InputFile> file = OpenMemoryInputFile(source.view->bytes());
  if (!file) return nullptr;
  return ReadIconFileFrom(*file, path);
}

}  // namespace vantorico
