#include "framework/window_table_win.h"

#include "framework/layout_constants.h"
#include "framework/menu_commands.h"

namespace vantorico {
namespace {

std::map<uint32_t, WindowEntry>& Table() {
  static std::map<uint32_t, WindowEntry> table;
  return table;
}

}  // namespace

LiveUnit* LiveWindow::FindUnit(uint32_t unit_id) {
  for (LiveUnit& u : units) {
    if (u.record->unitId == unit_id) return &u;
  }
  return nullptr;
}

LiveUnit* LiveWindow::FindUnitByHandle(HWND h) {
  if (!h) return nullptr;
  for (LiveUnit& u : units) {
    if (u.hwnd == h && u.record->typeCode != kKindWindow) return &u;
  }
  return nullptr;
}

LiveUnit* LiveWindow::FindMenuEntryByCommand(UINT command) {
  std::vector<LiveUnit*> entries;
  for (LiveUnit& u : units) {
    if (u.record->typeCode == kKindMenu) entries.push_back(&u);
  }
  const int k = MenuEntryForCommand(command, entries.size());
  return k < 0 ? nullptr : entries[static_cast<size_t>(k)];
}

WindowEntry* FindWindowEntry(uint32_t window_id) {
  auto it = Table().find(window_id);
  return it == Table().end() ? nullptr : &it->second;
}

void SetProgramLayout(LayoutRecord layout) {
  Table().clear();
  for (WindowLayout& w : layout.windows) {
    const uint32_t id = w.windowId;
    Table()[id].layout = std::move(w);
  }
}

bool AnyWindowLoaded() {
  for (auto& [id, entry] : Table()) {
    if (entry.live) return true;
  }
  return false;
}

std::vector<LiveWindow*> LoadedWindows() {
  std::vector<LiveWindow*> out;
  for (auto& [id, entry] : Table()) {
    if (entry.live) out.push_back(entry.live.get());
  }
  return out;
}

}  // namespace vantorico
