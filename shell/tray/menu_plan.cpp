#include "shell/tray/menu_plan.h"

#include "framework/menu_commands.h"
#include "shell/tray/tray_constants.h"

namespace vantorico {
namespace {

// End of the entries that lie deeper than entry index (exclusive).
size_t EndOfSubtree(const std::vector<MenuEntryDescription>& entries, size_t index) {
  size_t end = index + 1;
  while (end < entries.size() && entries[end].level > entries[index].level) ++end;
  return end;
}

// Items for the entries [first, end), each taking its own deeper entries along.
std::vector<MenuItemPlan> PlanRange(const std::vector<MenuEntryDescription>& entries, size_t first,
                                    size_t end) {
  std::vector<MenuItemPlan> items;
  for (size_t i = first; i < end;) {
    const size_t subtreeEnd = EndOfSubtree(entries, i);
    const MenuEntryDescription& entry = entries[i];
    if (!(entry.menuFlags & kMenuHidden)) {
      MenuItemPlan item;
      item.caption = entry.caption;
      item.commandId = MenuCommandForEntry(i);
      item.separator = entry.caption == kSeparatorCaption;
      item.grayed = (entry.menuFlags & kMenuDisabled) != 0;
      item.checked = (entry.menuFlags & kMenuChecked) != 0;
      item.subMenu = subtreeEnd > i + 1;
      if (item.subMenu) item.children = PlanRange(entries, i + 1, subtreeEnd);
      items.push_back(std::move(item));
    }
    i = subtreeEnd;
  }
  return items;
}

}  // namespace

bool HasSubEntries(const std::vector<MenuEntryDescription>& entries, size_t index) {
  return index + 1 < entries.size() && entries[index + 1].level > entries[index].level;
}

std::vector<MenuItemPlan> PlanSubMenu(const std::vector<MenuEntryDescription>& entries,
                                      size_t index) {
  if (!HasSubEntries(entries, index)) return {};
  return PlanRange(entries, index + 1, EndOfSubtree(entries, index));
}

}  // namespace vantorico
