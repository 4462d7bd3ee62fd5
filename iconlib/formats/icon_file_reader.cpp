#include "iconlib/formats/icon_file_reader.h"

#include <cstring>

#include "base/heap.h"
#include "iconlib/platform/file_io.h"
#include "iconlib/formats/icon_directory.h"
#include "iconlib/formats/image_fields.h"

namespace vantorico {

IconImageSetPtr ReadIconFileBytes(ByteSpan file, const char* path, uint64_t byteLimit) {
  IconDirectory directory;
  if (!IconDirectory::Read(file, /*allowCursors=*/false, &directory)) return nullptr;
  // Every entry and every image must lie inside the file, and the images
  // together stay under the caps, before anything is allocated: a directory
  // that lies about sizes cannot make the reader ask for memory.
  const uint32_t count = directory.count();
  uint64_t total = 0;
  for (uint32_t i = 0; i < count; ++i) {
    IconDirectoryEntry entry;
    ByteSpan image;
    if (!directory.EntryAt(i, &entry) || !directory.ImageOf(entry, &image)) return nullptr;
    total += image.size();
  }
  if (total > kMaxIconFileImageBytes || total > byteLimit) return nullptr;

  IconImageSetPtr set = AllocateIconImageSet(count, path, "");
  if (!set) return nullptr;
  for (uint32_t i = 0; i < count; ++i) {
    IconDirectoryEntry entry;
    ByteSpan image;
    if (!directory.EntryAt(i, &entry) || !directory.ImageOf(entry, &image)) return nullptr;
    IconImageEntry& e = set->images[i];
    e.data = static_cast<uint8_t*>(HeapTryAllocate(image.size()));
    if (!e.data) return nullptr;
    if (!image.empty()) std::memcpy(e.data, image.data(), image.size());
    e.dataSize = static_cast<uint32_t>(image.size());
    DeriveImageFields(&e);
  }
  return set;
}

IconImageSetPtr ReadIconFile(const char* path) {
  SourceFile source = ReadSourceFile(path);
  if (!source.view) return nullptr;
  return ReadIconFileBytes(source.view->bytes(), path);
}

}  // namespace vantorico
