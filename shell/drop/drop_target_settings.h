#pragma once
// What a DropTarget unit takes: its four accept switches, read from the stored
// block and by property index.
#include <cstdint>

#include "base/byte_cursor.h"
#include "shell/drop/drop_constants.h"

namespace vantorico {

struct DropTargetSettings {
  int32_t acceptText = 0;
  int32_t acceptHtml = 0;
  int32_t acceptUrl = 0;
  int32_t acceptFiles = 0;
};

// An empty block leaves all four off. False for a version above 1 (the unit's
// creation fails) or a block cut short.
bool ReadDropTargetBlock(ByteSpan block, DropTargetSettings* settings);

// Reads and writes by property index AcceptText .. AcceptFiles; false otherwise.
bool ReadDropTargetProperty(const DropTargetSettings& settings, int index, int32_t* value);
bool WriteDropTargetProperty(DropTargetSettings& settings, int index, int32_t value);

}  // namespace vantorico
