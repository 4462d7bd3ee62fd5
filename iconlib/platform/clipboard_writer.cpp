#include "iconlib/platform/clipboard_writer.h"

#include "iconlib/formats/dib_arithmetic.h"
#include "iconlib/formats/image_fields.h"

namespace vantorico {
namespace {
ClipboardPlacer g_placer = nullptr;
}  // namespace

void SetClipboardPlacerForTesting(ClipboardPlacer placer) {
  g_placer = placer;
}

bool CopyImageToClipboard(const IconImageEntry* entry) {
  if (!entry || entry->dataSize == 0 || IsPngEntry(*entry) || !IsDescribedDib(*entry)) {
    return false;
  }
  DibHeader h;
  if (!ReadDibHeader(ImageBytes(*entry), &h)) return false;
  const int32_t halved = HalvedHeight(h.biHeight);
  return g_placer ? g_placer(ImageBytes(*entry), halved)
                  : PlaceDibOnClipboard(ImageBytes(*entry), halved);
}

}  // namespace vantorico
