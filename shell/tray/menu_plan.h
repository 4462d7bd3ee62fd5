#pragma once
// A window's menu entries (stored order, levels, MenuFlags) turned into the
// items of one entry's sub-menu, with the command ids the entries use.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantorico {

struct MenuEntryDescription {
  std::string caption;
  int32_t level = 0;       // 0 top level, 1 inside the entry above, ...
  uint32_t menuFlags = 0;  // MenuFlags
};

struct MenuItemPlan {
  std::string caption;
  uint32_t commandId = 0;  // MenuCommandForEntry of the entry's position; unused by sub-menus
  bool separator = false;
  bool grayed = false;
  bool checked = false;
  bool subMenu = false;  // the entry has deeper entries after it
  std::vector<MenuItemPlan> children;
};

// Whether entry index has sub-entries: it is not the last entry and the one
// after it lies deeper.
bool HasSubEntries(const std::vector<MenuEntryDescription>& entries, size_t index);

// The items of entry index's sub-menu; empty when it has none.
std::vector<MenuItemPlan> PlanSubMenu(const std::vector<MenuEntryDescription>& entries,
                                      size_t index);

}  // namespace vantorico
