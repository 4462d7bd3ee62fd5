#pragma once
// Command identifiers of a window's menu entries: entry k, counted over all of
// the window's entries in stored order, is MenuCommandBase + k, in the menu bar
// and in every popup alike.
#include <cstddef>
#include <cstdint>

namespace vantorico {

uint32_t MenuCommandForEntry(size_t index);

// The entry a WM_COMMAND identifier stands for, or -1: identifiers from
// kFirstSystemCommandId on are the system's, those below MenuCommandBase the
// controls', and those past the last entry nobody's.
int MenuEntryForCommand(uint32_t commandId, size_t entryCount);

}  // namespace vantorico
