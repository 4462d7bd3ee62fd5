#pragma once
// Menus built from a menu plan, and the tray's popup of one entry's sub-menu.
#include <windows.h>

#include <cstddef>
#include <vector>

#include "base/win_handles.h"
#include "shell/tray/menu_plan.h"

namespace vantorico {

// A popup menu with the plan's items; none when any part cannot be built.
UniqueMenu BuildPopupMenu(const std::vector<MenuItemPlan>& items);

// PopupTrayMenu once the framework has found the entry among the window's menu
// entries: shows entry index's sub-menu at the cursor and returns after it
// closes. False, doing nothing, when the entry has no sub-entries or the popup
// cannot be built. A chosen item reaches window as WM_COMMAND.
bool PopupTrayMenu(HWND window, const std::vector<MenuEntryDescription>& entries, size_t index);

}  // namespace vantorico
