#include <windows.h>

#include "framework/events_win.h"
#include "framework/layout_constants.h"
#include "framework/window_table_win.h"
#include "shell/commands/tray_commands.h"
#include "shell/tray/menu_plan.h"
#include "shell/tray/tray_icon_win.h"
#include "shell/tray/tray_popup_win.h"

namespace vantorico {
namespace {

constexpr char kTrayExtension[] = "tray";

class TrayExtension final : public WindowExtension {
 public:
  explicit TrayExtension(HWND hwnd) : icon_(hwnd) {}
  TrayIcon& icon() { return icon_; }
  void OnWindowDestroy() override { icon_.OnWindowDestroyed(); }

 private:
  TrayIcon icon_;
};

TrayExtension* FindTray(LiveWindow& window) {
  auto it = window.extensions.find(kTrayExtension);
  return it == window.extensions.end() ? nullptr : static_cast<TrayExtension*>(it->second.get());
}

TrayExtension& TrayOf(LiveWindow& window) {
  if (TrayExtension* tray = FindTray(window)) return *tray;
  auto tray = std::make_unique<TrayExtension>(window.hwnd);
  TrayExtension& ref = *tray;
  window.extensions[kTrayExtension] = std::move(tray);
  return ref;
}

LiveWindow* LoadedWindow(uint32_t window_id) {
  WindowEntry* entry = FindWindowEntry(window_id);
  return entry && entry->live && IsWindow(entry->live->hwnd) ? entry->live.get() : nullptr;
}

// Tray callbacks become TrayEvent; "TaskbarCreated" adds the icon again.
bool TrayFilter(LiveWindow& window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  TrayExtension* tray = FindTray(window);
  if (!tray) return false;
  int32_t action = 0;
  if (!tray->icon().HandleMessage(message, wparam, lparam, &action)) return false;
  ArgSlot arg = IntSlot(action);
  RaiseUnitEvent(window.units[0], kEventTrayEvent, &arg, 1);
  *result = 0;
  return true;
}

}  // namespace

void RegisterTrayWindows() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  AddWindowMessageFilter(TrayFilter);
}

HICON TrayIconOf(uint32_t window_id) {
  LiveWindow* window = LoadedWindow(window_id);
  TrayExtension* tray = window ? FindTray(*window) : nullptr;
  return tray ? tray->icon().icon() : nullptr;
}

void SetTrayIcon(ArgSlot* result, int count, ArgSlot* args) {
  *result = ArgSlot{0, 0, 0};
  if (count < 2) return;
  LiveWindow* window = LoadedWindow(args[0].value);
  if (!window) return;
  const char* tooltip = count >= 3 && args[2].type == kTypeText ? SlotText(args[2]) : nullptr;
  TrayIcon& icon = TrayOf(*window).icon();
  const ArgSlot& data = args[1];
  if (data.type == kTypeByteSet && SlotPointer<const uint8_t>(data)) {
    const auto* record = SlotPointer<const uint8_t>(data);
    int32_t length;
    memcpy(&length, record + 4, sizeof length);
    icon.SetFromBytes(record + 8, length, tooltip);
  } else if (data.type == kTypeText) {
    icon.SetFromFile(SlotText(data), tooltip);
  } else {
    icon.SetFromBytes(nullptr, 0, tooltip);
  }
}

void PopupTrayMenu(ArgSlot* result, int count, ArgSlot* args) {
  *result = ArgSlot{0, 0, 0};
  if (count < 2 || args[1].value != args[0].value) return;
  LiveWindow* window = LoadedWindow(args[0].value);
  if (!window) return;
  std::vector<MenuEntryDescription> entries;
  size_t index = SIZE_MAX;
  for (const LiveUnit& unit : window->units) {
    const UnitRecord& r = *unit.record;
    if (r.typeCode != kKindMenu) continue;
    if (r.unitId == args[1].high) index = entries.size();
    entries.push_back({r.menu.caption, static_cast<int32_t>(r.menu.level), r.menu.menuFlags});
  }
  if (index == SIZE_MAX) return;
  vantorico::PopupTrayMenu(window->hwnd, entries, index);
}

}  // namespace vantorico
