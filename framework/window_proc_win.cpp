// Window messages of a loaded window turned into unit events.
#include "framework/events_win.h"
#include "framework/layout_constants.h"
#include "framework/unit_faces_win.h"
#include "framework/window_lifecycle_win.h"

namespace vantorico {

// A notification of a control (sent to its parent, or to the control itself).
void NotifyUnit(LiveUnit& unit, UINT code) {
  switch (unit.record->typeCode) {
    case kKindButton:
      if (code == BN_CLICKED) RaiseUnitEvent(unit, kEventButtonClicked);
      break;
    case kKindEditBox:
      if (code == EN_CHANGE && !unit.settingText) RaiseUnitEvent(unit, kEventContentChanged);
      break;
    default:
      break;
  }
}

namespace {

LiveWindow* WindowOf(HWND hwnd) {
  return reinterpret_cast<LiveWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// The window's final message: drop the live objects, put the layout back, and
// end the program when no window is left.
void Discard(LiveWindow& window) {
  WindowEntry* entry = FindWindowEntry(window.windowId);
  if (!entry || entry->live.get() != &window) return;
  entry->layout = entry->loadedFrom;
  entry->live.reset();  // `window` is gone from here on
  if (!AnyWindowLoaded() && MessageLoopEntered()) PostQuitMessage(0);
}

LRESULT ColorEdit(LiveWindow& window, HDC dc, HWND control) {
  LiveUnit* unit = window.FindUnitByHandle(control);
  if (!unit || unit->record->typeCode != kKindEditBox) return 0;
  const EditBoxSettings& e = unit->record->editBox;
  SetTextColor(dc, ResolveColor(e.textColor, COLOR_WINDOWTEXT));
  const COLORREF back = ResolveColor(e.backgroundColor, COLOR_WINDOW);
  SetBkColor(dc, back);
  SetDCBrushColor(dc, back);
  return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

}  // namespace

LRESULT CALLBACK LiveWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* window =
        static_cast<LiveWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    window->hwnd = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }
  LiveWindow* window = WindowOf(hwnd);
  if (!window) return DefWindowProcA(hwnd, message, wparam, lparam);

  LRESULT filtered = 0;
  if (RunWindowMessageFilters(*window, message, wparam, lparam, &filtered)) return filtered;

  switch (message) {
    case WM_COMMAND: {
      const auto control = reinterpret_cast<HWND>(lparam);
      if (control) {
        if (LiveUnit* unit = window->FindUnitByHandle(control)) NotifyUnit(*unit, HIWORD(wparam));
        return 0;
      }
      if (LiveUnit* entry = window->FindMenuEntryByCommand(LOWORD(wparam))) {
        RaiseUnitEvent(*entry, kEventMenuEntryChosen);
      }
      return 0;
    }
    case WM_SETFONT:
      window->font = reinterpret_cast<HFONT>(wparam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(window->font);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      if (LRESULT brush =
              ColorEdit(*window, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam)))
        return brush;
      break;
    }
    case WM_CLOSE:
      RaiseUnitEvent(window->units[0], kEventWindowClosing);
      if (WindowEntry* entry = FindWindowEntry(window->windowId); entry && entry->live) {
        DestroyLiveWindow(*entry->live);
      }
      return 0;
    case DeferredDestroyMessage:
      if (window->closePending) DestroyLiveWindow(*window);
      return 0;
    case WM_DESTROY:
      RaiseUnitEvent(window->units[0], kEventWindowDestroyed);
      for (LiveUnit& unit : window->units) {
        if (unit.object) unit.object->OnWindowDestroy();
      }
      for (auto& [name, extension] : window->extensions) extension->OnWindowDestroy();
      break;
    case WM_NCDESTROY: {
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      const LRESULT r = DefWindowProcA(hwnd, message, wparam, lparam);
      Discard(*window);
      return r;
    }
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

}  // namespace vantorico
