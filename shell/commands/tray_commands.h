#pragma once
// The tray icon and tray menu as core commands and a window event.
#include <windows.h>

#include <cstdint>

#include "base/arg_slot.h"

namespace vantorico {

// Lets every loaded window own a tray icon and report TrayEvent.
void RegisterTrayWindows();

// (window UnitRef, icon: byte set of an icon file or the path of one, tooltip text = none)
void SetTrayIcon(ArgSlot* result, int count, ArgSlot* args);

// The icon a loaded window now shows in the tray, or null.
HICON TrayIconOf(uint32_t window_id);

// (window UnitRef, menu entry UnitRef): pops up the entry's sub-menu at the cursor.
void PopupTrayMenu(ArgSlot* result, int count, ArgSlot* args);

}  // namespace vantorico
