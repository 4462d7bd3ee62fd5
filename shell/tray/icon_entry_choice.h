#pragma once
// Which image of an icon file makes the icon, and the size it is made at.
#include <cstdint>

#include "base/byte_cursor.h"

namespace vantorico {

struct ChosenIconImage {
  ByteSpan bytes;      // the image: BITMAPINFOHEADER (or PNG), colours, mask
  int32_t width = 0;   // from the image's own header
  int32_t height = 0;  // header height / 2, toward zero
  uint16_t bitCount = 0;
};

// The first entry with a colour-count byte of at least 16 and a width byte of
// 16 (preferLarge false) or 32 (true), else the last entry. False for a bad
// header, a directory or an image cut short.
bool ChooseIconImage(ByteSpan file, bool preferLarge, ChosenIconImage* chosen);

// Index of the chosen directory entry, or -1 (for tests and callers that only
// need the choice).
int ChooseIconEntry(ByteSpan file, bool preferLarge);

}  // namespace vantorico
