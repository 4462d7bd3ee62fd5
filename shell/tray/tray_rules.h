#pragma once
// The tray icon's portable rules: the tooltip field, the mouse action of a
// callback, and which shell call a change of icon makes.
#include <array>
#include <cstdint>
#include <optional>

#include "shell/tray/tray_constants.h"

namespace vantorico {

// The szTip field: the first 62 bytes at most, then zeros (all zero for null).
std::array<char, kTooltipSize> TrayTooltipField(const char* tooltip);

// The TrayAction for the mouse message in a callback's lParam, or none.
std::optional<int32_t> TrayActionFor(uint32_t mouseMessage);

enum class TrayCall { None, Add, Modify, Delete };

// The state table: what SetTrayIcon does with the icon the window shows now
// and the new one.
TrayCall DecideTrayCall(bool hasIcon, bool hasNewIcon);

}  // namespace vantorico
