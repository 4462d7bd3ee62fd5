#include "shell/tray/icon_entry_choice.h"

#include "iconlib/formats/icon_constants.h"
#include "iconlib/formats/icon_directory.h"
#include "shell/tray/tray_constants.h"

namespace vantorico {

int ChooseIconEntry(ByteSpan file, bool preferLarge) {
  IconDirectory directory;
  if (!IconDirectory::Read(file, /*allowCursors=*/true, &directory) || directory.count() == 0) {
    return -1;
  }
  const uint8_t wantedWidth = preferLarge ? kLargeIconWidth : kSmallIconWidth;
  for (uint32_t i = 0; i < directory.count(); ++i) {
    IconDirectoryEntry entry;
    if (!directory.EntryAt(i, &entry)) return -1;
    if (entry.colorCount >= kMinPreferredColors && entry.width == wantedWidth) {
      return static_cast<int>(i);
    }
  }
  return directory.count() - 1;
}

bool ChooseIconImage(ByteSpan file, bool preferLarge, ChosenIconImage* chosen) {
  const int index = ChooseIconEntry(file, preferLarge);
  IconDirectory directory;
  IconDirectoryEntry entry;
  ByteSpan image;
  if (index < 0 || !IconDirectory::Read(file, /*allowCursors=*/true, &directory) ||
      !directory.EntryAt(static_cast<uint32_t>(index), &entry) ||
      !directory.ImageOf(entry, &image)) {
    return false;
  }
  ByteCursor header(image);
  uint32_t width = 0, height = 0;
  uint16_t bitCount = 0;
  // An image too short for these fields is left to the icon creation to refuse.
  header.PeekU32At(kBiWidthOffset, &width);
  header.PeekU32At(kBiHeightOffset, &height);
  header.PeekU16At(kBiBitCountOffset, &bitCount);
  chosen->bytes = image;
  chosen->width = static_cast<int32_t>(width);
  chosen->height = static_cast<int32_t>(height) / kStoredHeightFactor;
  chosen->bitCount = bitCount;
  return true;
}

}  // namespace vantorico
