#pragma once
// The drag-and-drop library's unit and command on the window framework.
#include "base/arg_slot.h"

namespace vantorico {

// Makes DropTarget units carry their sink at window load.
void RegisterDropTargetUnits();

// (DropTarget UnitRef, window handle as int) -> bool: the window now takes
// drops for the unit; refused the second time.
void RegisterFileDrop(ArgSlot* result, int count, ArgSlot* args);

}  // namespace vantorico
