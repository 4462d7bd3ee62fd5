#pragma once
// The CommonDlg unit on a loaded window, and its core command.
#include "base/arg_slot.h"

namespace vantorico {

// Makes CommonDlg units carry their settings at window load.
void RegisterCommonDlgUnits();

// (CommonDlg UnitRef) -> bool: true when the user confirmed a file; the
// unit's FileName is then the chosen path.
void OpenCommonDialog(ArgSlot* result, int count, ArgSlot* args);

}  // namespace vantorico
