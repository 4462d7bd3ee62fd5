#include "iconlib/formats/icon_directory.h"

#include "iconlib/formats/icon_constants.h"

namespace vantorico {

bool IconDirectory::Read(ByteSpan file, bool allowCursors, IconDirectory* out) {
  const ByteCursor c(file);
  uint16_t reserved = 1, type = 0, count = 0;
  if (!c.PeekU16At(0, &reserved) || !c.PeekU16At(kIconFileHeaderFieldSize, &type) ||
      !c.PeekU16At(2 * kIconFileHeaderFieldSize, &count) || reserved != kIconFileReserved) {
    return false;
  }
  if (type != kIconFileTypeIcon && !(allowCursors && type == kIconFileTypeCursor)) return false;
  out->file_ = file;
  out->type_ = type;
  out->count_ = count;
  return true;
}

bool IconDirectory::EntryAt(uint32_t i, IconDirectoryEntry* entry) const {
  if (i >= count_) return false;
  ByteSpan bytes;
  if (!file_.Slice(kIconFileHeaderSize + size_t{i} * kIconFileEntrySize, kIconFileEntrySize,
                   &bytes)) {
    return false;
  }
  const ByteCursor c(bytes);
  return c.PeekU8At(0, &entry->width) &&
         c.PeekU8At(kIconFileColorCountOffset, &entry->colorCount) &&
         c.PeekU32At(kIconFileEntrySizeOffset, &entry->imageSize) &&
         c.PeekU32At(kIconFileEntryOffsetOffset, &entry->imageOffset);
}

bool IconDirectory::ImageOf(const IconDirectoryEntry& entry, ByteSpan* image) const {
  return file_.Slice(entry.imageOffset, entry.imageSize, image);
}

}  // namespace vantorico
