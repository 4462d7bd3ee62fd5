#include "tests/support/dialog_watcher_win.h"

namespace vantorico::testing_support {
namespace {

DialogWatcher* g_active = nullptr;
constexpr int kMessageBoxTextId = 0xFFFF;

bool IsDialogClass(HWND hwnd) {
  char name[16] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return lstrcmpA(name, "#32770") == 0;
}

BOOL CALLBACK FindVisibleIcon(HWND child, LPARAM found) {
  char name[16] = {};
  GetClassNameA(child, name, sizeof name);
  const LONG style = GetWindowLongA(child, GWL_STYLE);
  if (lstrcmpiA(name, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON && (style & WS_VISIBLE) &&
      SendMessageA(child, STM_GETICON, 0, 0) != 0) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool HasVisibleIcon(HWND dialog) {
  bool found = false;
  EnumChildWindows(dialog, FindVisibleIcon, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(hwnd, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

DialogWatcher::DialogWatcher() {
  g_active = this;
  hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, HookProc, nullptr, GetCurrentThreadId());
}

DialogWatcher::~DialogWatcher() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (g_active == this) g_active = nullptr;
}

LRESULT CALLBACK DialogWatcher::HookProc(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION && g_active) {
    const auto* msg = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
    if (msg->message == WM_INITDIALOG && IsDialogClass(msg->hwnd)) g_active->Handle(msg->hwnd);
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

void DialogWatcher::Handle(HWND dialog) {
  SeenDialog seen;
  seen.caption = WindowText(dialog);
  if (HWND text = GetDlgItem(dialog, kMessageBoxTextId)) seen.text = WindowText(text);
  seen.hasIcon = HasVisibleIcon(dialog);
  for (HWND w : watched_) {
    if (!IsWindowEnabled(w)) seen.disabledTopLevels.push_back(w);
  }
  seen_.push_back(seen);
  if (action_) action_(dialog);
  int answer = IDOK;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}

}  // namespace vantorico::testing_support
