#include <windows.h>

#include "framework/layout_constants.h"
#include "framework/window_lifecycle_win.h"
#include "framework/window_table_win.h"
#include "runtime/core/runtime_error.h"
#include "runtime/window_commands.h"
#include "runtime/window_texts.h"

namespace vantorico {
namespace {

bool Present(int count, const ArgSlot* args, int i) {
  return count > i && args[i].type != kTypeOmitted;
}

// Disables the thread's other top-level windows while a modal window lives
// and runs messages until it is gone.
void RunModal(WindowEntry& entry) {
  LiveWindow& window = *entry.live;
  for (LiveWindow* other : LoadedWindows()) {
    if (other != &window && IsWindowEnabled(other->hwnd)) {
      EnableWindow(other->hwnd, FALSE);
      window.disabledForModal.push_back(other->hwnd);
    }
  }
  MSG msg;
  while (entry.live && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (entry.live && IsDialogMessageA(entry.live->hwnd, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Steps shared by LoadWindow and LoadStartWindow once the entry is found.
bool LoadEntry(WindowEntry& entry, HWND owner, bool modal) {
  if (entry.live && IsWindow(entry.live->hwnd)) {
    LiveWindow& window = *entry.live;
    if (!window.closePending) {
      if (IsIconic(window.hwnd)) {
        ShowWindow(window.hwnd, SW_RESTORE);
      } else {
        SetActiveWindow(window.hwnd);
      }
      return true;
    }
    DestroyLiveWindow(window);
  }
  if (!CreateLiveWindow(entry, owner, modal)) return false;
  if (entry.live && IsWindow(entry.live->hwnd) &&
      (entry.live->units[0].record->unitFlags & kUnitVisible)) {
    ShowLiveWindow(*entry.live);
  }
  if (modal && entry.live) RunModal(entry);
  return true;
}

LiveWindow& LoadedWindowOrFail(uint32_t window_id) {
  WindowEntry* entry = FindWindowEntry(window_id);
  if (!entry || !entry->live || !IsWindow(entry->live->hwnd)) {
    ReportRuntimeError(kTextUnitNotLoaded, 0);
  }
  return *entry->live;
}

}  // namespace

void LoadWindow(ArgSlot* result, int count, ArgSlot* args) {
  *result = BoolSlot(false);
  HWND owner = nullptr;
  if (Present(count, args, 1)) {
    WindowEntry* parent = FindWindowEntry(args[1].value);
    if (!parent || !parent->live) return;
    owner = parent->live->hwnd;
  }
  WindowEntry* entry = count > 0 ? FindWindowEntry(args[0].value) : nullptr;
  if (!entry) return;
  const bool modal = Present(count, args, 2) && args[2].value != 0;
  *result = BoolSlot(LoadEntry(*entry, owner, modal));
}

void LoadStartWindow(uint32_t window_id) {
  WindowEntry* entry = FindWindowEntry(window_id);
  if (!entry || !LoadEntry(*entry, nullptr, false)) ReportRuntimeError(kTextStartWindowFailed, 0);
}

void DestroyWindowUnit(ArgSlot* result, int count, ArgSlot* args) {
  *result = ArgSlot{0, 0, 0};
  if (count < 1) return;
  LiveWindow& window = LoadedWindowOrFail(args[0].value);
  const uint32_t unit_id = args[0].high;
  if (UnitClassOf(unit_id) != kUnitClassWindow) {
    LiveUnit* unit = window.FindUnit(unit_id);
    if (!unit) ReportRuntimeError(kTextUnitNotLoaded, 0);
    if (unit->hwnd) DestroyWindow(unit->hwnd);
    unit->hwnd = nullptr;
    return;
  }
  window.closePending = true;
  if (count >= 2 && args[1].value != 0) {
    DestroyLiveWindow(window);
  } else {
    PostMessageA(window.hwnd, DeferredDestroyMessage, 0, 0);
  }
}

void GetWindowHandle(ArgSlot* result, int count, ArgSlot* args) {
  *result = IntSlot(0);
  if (count < 1) return;
  LiveWindow& window = LoadedWindowOrFail(args[0].value);
  *result = IntSlot(static_cast<int32_t>(reinterpret_cast<intptr_t>(window.hwnd)));
}

}  // namespace vantorico
