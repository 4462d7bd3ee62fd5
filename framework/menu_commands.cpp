#include "framework/menu_commands.h"

#include "framework/layout_constants.h"

namespace vantorico {

uint32_t MenuCommandForEntry(size_t index) {
  return MenuCommandBase + static_cast<uint32_t>(index);
}

int MenuEntryForCommand(uint32_t commandId, size_t entryCount) {
  if (commandId >= kFirstSystemCommandId || commandId < MenuCommandBase) return -1;
  const uint32_t k = commandId - MenuCommandBase;
  return k < entryCount ? static_cast<int>(k) : -1;
}

}  // namespace vantorico
