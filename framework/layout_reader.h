#pragma once
// Reads the stored layout block. Every read is bounds-checked; a block that is
// cut short, inconsistent or names a handler that does not exist is refused.
#include "base/byte_cursor.h"
#include "framework/layout_types.h"

namespace vantorico {

// handler_count: handler references must be -1 or below it.
bool ReadLayout(ByteSpan block, int handler_count, LayoutRecord* out);

// The blocks of the units that libraries above provide, each read from the
// cursor on (the rest of the unit's record). False, leaving the settings as
// they were, for a version above 1 (the unit cannot be made) or a block cut
// short. A CommonDlg text is kept up to its first NUL, as the unit's texts are
// C texts. A DropTarget unit without a block takes nothing.
bool ReadCommonDlgBlock(ByteCursor& cursor, CommonDlgSettings* settings);
bool ReadDropTargetBlock(ByteCursor& cursor, DropTargetSettings* settings);

}  // namespace vantorico
