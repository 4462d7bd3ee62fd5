#pragma once
// The dialog record's Flags from a CommonDlg unit's switches.
#include <cstdint>

#include "runtime/dialog/common_dlg_settings.h"

namespace vantorico {

// The switch-dependent part (the tool's settings give 0x1806).
uint32_t CommonDlgFlags(const CommonDlgSettings& settings);

// What the dialog gets: the switches' flags plus the explorer look and resizing.
uint32_t OpenFileNameFlags(const CommonDlgSettings& settings);

}  // namespace vantorico
