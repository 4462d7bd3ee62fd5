#pragma once
// The fields of an IconImageEntry that come from its own bytes.
#include "base/byte_cursor.h"
#include "iconlib/formats/icon_image_set.h"

namespace vantorico {

// Fills header, width, height, bitDepth, colorBits and maskBits from data.
// A DIB whose header, palette or rows would lie past data gets all of them
// cleared; a PNG image gets width, height and bitDepth from IHDR and no views.
// False only when given no entry.
bool DeriveImageFields(IconImageEntry* entry);

ByteSpan ImageBytes(const IconImageEntry& entry);
bool IsPngEntry(const IconImageEntry& entry);
// A DIB whose header, palette and colour rows all lie inside data.
bool IsDescribedDib(const IconImageEntry& entry);

}  // namespace vantorico
