#include "shell/tray/icon_entry_choice.h"

#include "shell/tray/tray_constants.h"

namespace vantorico {

int ChooseIconEntry(ByteSpan file, bool preferLarge) {
  ByteCursor cursor(file);
  uint16_t reserved = 0, type = 0, count = 0;
  if (!cursor.ReadU16(&reserved) || !cursor.ReadU16(&type) || !cursor.ReadU16(&count)) return -1;
  if (reserved != kIcoReserved || (type != kIcoTypeIcon && type != kIcoTypeCursor) || count == 0)
    return -1;
  const uint8_t wantedWidth = preferLarge ? kLargeIconWidth : kSmallIconWidth;
  for (int i = 0; i < count; ++i) {
    const size_t entry = kIcoHeaderSize + kIcoEntrySize * static_cast<size_t>(i);
    ByteSpan whole;
    if (!file.Slice(entry, kIcoEntrySize, &whole)) return -1;
    uint8_t width = 0, colors = 0;
    cursor.PeekU8At(entry, &width);
    cursor.PeekU8At(entry + kIcoEntryColorCountOffset, &colors);
    if (colors >= kMinPreferredColors && width == wantedWidth) return i;
  }
  return count - 1;
}

bool ChooseIconImage(ByteSpan file, bool preferLarge, ChosenIconImage* chosen) {
  const int index = ChooseIconEntry(file, preferLarge);
  if (index < 0) return false;
  const ByteCursor cursor(file);
  const size_t entry = kIcoHeaderSize + kIcoEntrySize * static_cast<size_t>(index);
  uint32_t size = 0, offset = 0;
  if (!cursor.PeekU32At(entry + kIcoEntryImageSizeOffset, &size) ||
      !cursor.PeekU32At(entry + kIcoEntryImageOffsetOffset, &offset))
    return false;
  ByteSpan image;
  if (!file.Slice(offset, size, &image)) return false;
  ByteCursor header(image);
  uint32_t width = 0, height = 0;
  uint16_t bitCount = 0;
  // An image too short for these fields is left to the icon creation to refuse.
  header.PeekU32At(kInfoWidthOffset, &width);
  header.PeekU32At(kInfoHeightOffset, &height);
  header.PeekU16At(kInfoBitCountOffset, &bitCount);
  chosen->bytes = image;
  chosen->width = static_cast<int32_t>(width);
  chosen->height = static_cast<int32_t>(height) / kInfoHeightParts;
  chosen->bitCount = bitCount;
  return true;
}

}  // namespace vantorico
