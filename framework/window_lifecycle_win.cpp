#include "framework/window_lifecycle_win.h"

#include "framework/events_win.h"
#include "framework/layout_constants.h"
#include "framework/program_icon_win.h"
#include "framework/unit_faces_win.h"

namespace vantorico {
namespace {

bool g_loop_entered = false;

std::map<uint32_t, UnitObjectFactory>& UnitKinds() {
  static std::map<uint32_t, UnitObjectFactory> kinds;
  return kinds;
}

// Control identifiers: the unit's position in the layout, clear of the menu's range.
constexpr int kFirstControlId = 100;

DWORD WindowStyle(const WindowSettings& s) {
  DWORD style = WS_OVERLAPPED | WS_CLIPCHILDREN;
  if (s.border != 0) style |= WS_CAPTION;
  if (s.controlBox) style |= WS_SYSMENU;
  if (s.minimizeBox) style |= WS_MINIMIZEBOX;
  if (s.maximizeBox) style |= WS_MAXIMIZEBOX;
  if (s.border == 1 || s.border > kBorderFixedSingle) style |= WS_THICKFRAME;
  return style;
}

DWORD CommonStyle(const UnitRecord& u) {
  DWORD style = WS_CHILD;
  if (u.unitFlags & kUnitVisible) style |= WS_VISIBLE;
  if (u.unitFlags & kUnitDisabled) style |= WS_DISABLED;
  if (u.unitFlags & kUnitTabStop) style |= WS_TABSTOP;
  return style;
}

// The layout reader checks a stored font against the record's size.
static_assert(kLogFontSize == sizeof(LOGFONTA));

HFONT MakeFont(const StoredFont& stored) {
  if (stored.size() != kLogFontSize) return nullptr;
  LOGFONTA lf;
  memcpy(&lf, stored.data(), sizeof lf);
  lf.lfFaceName[LF_FACESIZE - 1] = '\0';
  return CreateFontIndirectA(&lf);
}

HWND CreateControl(LiveWindow& window, LiveUnit& unit, int control_id) {
  const UnitRecord& u = *unit.record;
  const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id));
  HINSTANCE inst = GetModuleHandleA(nullptr);
  switch (u.typeCode) {
    case kKindButton: {
      DWORD style = CommonStyle(u) | BS_MULTILINE;
      style |= u.button.buttonKind ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      static const DWORD kHorizontal[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
      static const DWORD kVertical[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};
      if (u.button.horizontalAlignment < 3) style |= kHorizontal[u.button.horizontalAlignment];
      if (u.button.verticalAlignment < 3) style |= kVertical[u.button.verticalAlignment];
      unit.font.reset(MakeFont(u.button.font));
      return CreateWindowExA(0, "BUTTON", u.button.caption.c_str(), style, u.left, u.top, u.width,
                             u.height, window.hwnd, id, inst, nullptr);
    }
    case kKindEditBox: {
      const EditBoxSettings& e = u.editBox;
      DWORD style = CommonStyle(u) | ES_AUTOHSCROLL;
      if (e.inputMode == kEditReadOnly) style |= ES_READONLY;
      if (e.inputMode == kEditPassword) style |= ES_PASSWORD;
      if (!e.hideSelection) style |= ES_NOHIDESEL;
      const DWORD ex = e.border ? WS_EX_CLIENTEDGE : 0;
      unit.font.reset(MakeFont(e.font));
      HWND h = CreateWindowExA(ex, "EDIT", e.content.c_str(), style, u.left, u.top, u.width,
                               u.height, window.hwnd, id, inst, nullptr);
      if (h) SendMessageA(h, EM_LIMITTEXT, e.maxLength, 0);
      return h;
    }
    case kKindLabel:
      unit.font.reset(MakeFont(u.label.font));
      return CreateWindowExA(0, kLabelClassName, u.label.caption.c_str(), CommonStyle(u), u.left,
                             u.top, u.width, u.height, window.hwnd, id, inst, &unit);
    case kKindPicBox:
      LoadUnitPicture(unit);
      return CreateWindowExA(0, kPictureClassName, "", CommonStyle(u), u.left, u.top, u.width,
                             u.height, window.hwnd, id, inst, &unit);
    default:
      return nullptr;
  }
}

void SetUnitFont(const LiveUnit& unit) {
  HFONT font = unit.font ? unit.font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageA(unit.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

// Centred on the screen, then forced to the stored outer size.
void PlaceWindow(HWND hwnd, const UnitRecord& u) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  if (rc.right - rc.left != u.width || rc.bottom - rc.top != u.height) {
    SetWindowPos(hwnd, nullptr, 0, 0, u.width, u.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace

void RegisterUnitKind(uint32_t type_code, UnitObjectFactory factory) {
  UnitKinds()[type_code] = factory;
}

void SetMessageLoopEntered() {
  g_loop_entered = true;
}
bool MessageLoopEntered() {
  return g_loop_entered;
}

bool CreateLiveWindow(WindowEntry& entry, HWND owner, bool modal) {
  RegisterFrameworkClasses();
  entry.loadedFrom = entry.layout;
  auto live = std::make_unique<LiveWindow>();
  LiveWindow& window = *live;
  window.windowId = entry.layout.windowId;
  window.modal = modal;
  window.units.resize(entry.layout.units.size());
  for (size_t i = 0; i < window.units.size(); ++i) window.units[i].record = &entry.layout.units[i];

  const UnitRecord& self = entry.layout.units[0];
  const WindowSettings& settings = self.window;
  int x = self.left, y = self.top;
  if (settings.startPosition == kStartCentered) {
    x = (GetSystemMetrics(SM_CXSCREEN) - self.width) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - self.height) / 2;
  }
  entry.live = std::move(live);
  HWND hwnd =
      CreateWindowExA(0, kWindowClassName, settings.title.c_str(), WindowStyle(settings), x, y,
                      self.width, self.height, owner, nullptr, GetModuleHandleA(nullptr), &window);
  if (!hwnd) {
    entry.live.reset();
    entry.layout = entry.loadedFrom;
    return false;
  }
  window.units[0].hwnd = hwnd;
  PlaceWindow(hwnd, self);
  if (!settings.closeBox) {
    if (HMENU sys = GetSystemMenu(hwnd, FALSE)) DeleteMenu(sys, SC_CLOSE, MF_BYCOMMAND);
  }
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (HICON big = ProgramIconLarge())
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (HICON small = ProgramIconSmall())
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

  HWND previous = nullptr;
  for (size_t i = 1; i < window.units.size(); ++i) {
    LiveUnit& unit = window.units[i];
    unit.hwnd = CreateControl(window, unit, kFirstControlId + static_cast<int>(i));
    if (unit.hwnd) {
      SetUnitFont(unit);
      // Stored order is z-order: each control goes right below the one before.
      SetWindowPos(unit.hwnd, previous ? previous : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      previous = unit.hwnd;
    }
    auto kind = UnitKinds().find(unit.record->typeCode);
    if (kind != UnitKinds().end()) unit.object = kind->second(window, unit);
  }

  RaiseUnitEvent(window.units[0], kEventWindowCreated);
  if (!IsWindow(hwnd) || !entry.live) return true;
  RaiseUnitEvent(window.units[0], kEventWindowAfterCreated1);
  if (!IsWindow(hwnd) || !entry.live) return true;
  RaiseUnitEvent(window.units[0], kEventWindowAfterCreated2);
  return true;
}

void ShowLiveWindow(LiveWindow& window) {
  if (window.firstShowPending) {
    window.firstShowPending = false;
    ShowWindow(window.hwnd, SW_SHOWNORMAL);
    UpdateWindow(window.hwnd);
    return;
  }
  ShowWindow(window.hwnd, SW_SHOW);
}

void DestroyLiveWindow(LiveWindow& window) {
  window.closePending = false;
  if (window.modal) {
    for (HWND h : window.disabledForModal) EnableWindow(h, TRUE);
    window.disabledForModal.clear();
  }
  DestroyWindow(window.hwnd);
}

}  // namespace vantorico
