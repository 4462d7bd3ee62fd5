#pragma once
// A CommonDlg unit's settings read and written by property index. The
// settings themselves, and the reader of their stored block, are the layout's.
#include "base/arg_slot.h"
#include "framework/layout_types.h"
#include "runtime/dialog/common_dlg_constants.h"

namespace vantorico {

// Property reads and writes by index DialogType .. KeepCurrentDirectory; false
// for any other index. A text read is a new text owned by the caller (null
// when empty); a text written is copied (null writes the empty text).
bool ReadCommonDlgProperty(const CommonDlgSettings& settings, int index, ArgSlot* value);
bool WriteCommonDlgProperty(CommonDlgSettings& settings, int index, const ArgSlot& value);

}  // namespace vantorico
