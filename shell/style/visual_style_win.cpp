#include "shell/style/visual_style.h"

#include <algorithm>
#include <vector>

#include "base/win_handles.h"
#include "shell/style/style_attach_win.h"
#include "shell/style/style_constants.h"

namespace vantorico::style {
namespace {

int g_scheme = 0;
UniqueHook g_hook;

// A window between its creation notice and its WM_CREATE, wearing a watcher
// procedure until then. One thread runs all of this; creations nest, so the
// watched windows are a short list.
struct WatchedWindow {
  HWND hwnd;
  WNDPROC previous;
};
std::vector<WatchedWindow> g_watched;

std::vector<WatchedWindow>::iterator FindWatched(HWND hwnd) {
  return std::find_if(g_watched.begin(), g_watched.end(),
                      [hwnd](const WatchedWindow& w) { return w.hwnd == hwnd; });
}

// The watcher speaks the window's own character set, so that the creation
// texts pass through it unconverted.
template <bool kWide>
LRESULT CALLBACK CreationWatcher(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto call = [&](WNDPROC procedure) {
    return kWide ? CallWindowProcW(procedure, hwnd, message, wparam, lparam)
                 : CallWindowProcA(procedure, hwnd, message, wparam, lparam);
  };
  const auto watched = FindWatched(hwnd);
  if (watched == g_watched.end()) {
    return kWide ? DefWindowProcW(hwnd, message, wparam, lparam)
                 : DefWindowProcA(hwnd, message, wparam, lparam);
  }
  const WNDPROC previous = watched->previous;
  if (message != WM_CREATE && message != WM_NCDESTROY) return call(previous);
  // Step out of the way, unless someone subclassed the window on top of the
  // watcher: then it stays, passing everything on.
  const auto self = reinterpret_cast<LONG_PTR>(&CreationWatcher<kWide>);
  const LONG_PTR current =
      kWide ? GetWindowLongPtrW(hwnd, GWLP_WNDPROC) : GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
  if (current != self) return call(previous);
  g_watched.erase(watched);
  const auto restore = reinterpret_cast<LONG_PTR>(previous);
  kWide ? SetWindowLongPtrW(hwnd, GWLP_WNDPROC, restore)
        : SetWindowLongPtrA(hwnd, GWLP_WNDPROC, restore);
  if (message == WM_NCDESTROY || !g_hook) return call(previous);
  // Attached before the window's own procedure sees WM_CREATE, which then
  // goes to whatever procedure the window has now.
  AttachWindow(hwnd);
  return call(reinterpret_cast<WNDPROC>(kWide ? GetWindowLongPtrW(hwnd, GWLP_WNDPROC)
                                              : GetWindowLongPtrA(hwnd, GWLP_WNDPROC)));
}

// A creation notice: the one point where a thread hook is needed. A hook on
// every sent message would cost a trip through the system for each of them
// (under Wine, a hundred times the message itself).
LRESULT CALLBACK CreationHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND) {
    const auto hwnd = reinterpret_cast<HWND>(wparam);
    const bool wide = IsWindowUnicode(hwnd) != FALSE;
    const auto watcher =
        reinterpret_cast<LONG_PTR>(wide ? &CreationWatcher<true> : &CreationWatcher<false>);
    const LONG_PTR previous = wide ? SetWindowLongPtrW(hwnd, GWLP_WNDPROC, watcher)
                                   : SetWindowLongPtrA(hwnd, GWLP_WNDPROC, watcher);
    if (previous) g_watched.push_back({hwnd, reinterpret_cast<WNDPROC>(previous)});
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

int SwitchOn() {
  AttachThreadWindows();
  g_hook.reset(SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId()));
  return 1;
}

int SwitchOff() {
  if (!g_hook) return 0;
  DetachThreadWindows();
  return UnhookWindowsHookEx(g_hook.release());
}

}  // namespace

int CurrentScheme() {
  return g_scheme;
}

void SetVisualStyle(ArgSlot* result, int count, ArgSlot* args) {
  g_scheme = (count >= 1 && args) ? SlotInt(args[0]) : 0;
  int answer = 0;
  if (g_scheme >= kFirstScheme && g_scheme <= kLastScheme) {
    SwitchOff();
    answer = SwitchOn();
  } else {
    answer = SwitchOff();
  }
  if (result) *result = IntSlot(answer);
}

}  // namespace vantorico::style
