#pragma once
// Reads the stored layout block. Every read is bounds-checked; a block that is
// cut short, inconsistent or names a handler that does not exist is refused.
#include "base/byte_cursor.h"
#include "framework/layout_types.h"

namespace vantorico {

// handler_count: handler references must be -1 or below it.
bool ReadLayout(ByteSpan block, int handler_count, LayoutRecord* out);

}  // namespace vantorico
