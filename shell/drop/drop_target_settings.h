#pragma once
// A DropTarget unit's four accept switches by property index. The settings
// themselves, and the reader of their stored block, are the layout's.
#include <cstdint>

#include "framework/layout_types.h"
#include "shell/drop/drop_constants.h"

namespace vantorico {

// Reads and writes by property index AcceptText .. AcceptFiles; false otherwise.
bool ReadDropTargetProperty(const DropTargetSettings& settings, int index, int32_t* value);
bool WriteDropTargetProperty(DropTargetSettings& settings, int index, int32_t value);

}  // namespace vantorico
