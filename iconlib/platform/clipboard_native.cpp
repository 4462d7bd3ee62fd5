#include "iconlib/platform/clipboard_writer.h"

namespace vantorico {

// No system clipboard outside Windows.
bool PlaceDibOnClipboard(ByteSpan, int32_t) {
  return false;
}

}  // namespace vantorico
