#pragma once
// Putting one image on the clipboard as CF_DIB.
#include <cstdint>

#include "base/byte_cursor.h"
#include "iconlib/formats/icon_image_set.h"

namespace vantorico {

// Checks the image first (non-empty, a DIB whose rows lie inside its data,
// not PNG), so a refusal never touches the clipboard; then hands a copy of
// all of data, biHeight halved, to the clipboard.
bool CopyImageToClipboard(const IconImageEntry* entry);

// The platform step: open, empty, copy into a shareable block with biHeight
// set to halvedHeight, set it as CF_DIB, close. False where there is no clipboard.
bool PlaceDibOnClipboard(ByteSpan dib, int32_t halvedHeight);

// Tests replace the platform step; null restores it.
using ClipboardPlacer = bool (*)(ByteSpan dib, int32_t halvedHeight);
void SetClipboardPlacerForTesting(ClipboardPlacer placer);

}  // namespace vantorico
