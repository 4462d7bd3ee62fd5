#include "framework/message_loop_win.h"

#include <vector>

#include "framework/window_lifecycle_win.h"
#include "framework/window_table_win.h"

namespace vantorico {
namespace {

std::vector<IdleCallback>& IdleCallbacks() {
  static std::vector<IdleCallback> callbacks;
  return callbacks;
}

bool RunIdle() {
  bool more = false;
  for (IdleCallback cb : IdleCallbacks()) more = cb() || more;
  return more;
}

// Keyboard navigation between a window's tab-stop controls.
bool PreTranslate(MSG& msg) {
  for (LiveWindow* window : LoadedWindows()) {
    if (window->hwnd == msg.hwnd || IsChild(window->hwnd, msg.hwnd)) {
      return IsDialogMessageA(window->hwnd, &msg) != FALSE;
    }
  }
  return false;
}

}  // namespace

void AddIdleCallback(IdleCallback callback) {
  IdleCallbacks().push_back(callback);
}

int RunMessageLoop() {
  SetMessageLoopEntered();
  if (!AnyWindowLoaded()) return 0;
  MSG msg;
  for (;;) {
    while (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!RunIdle()) WaitMessage();
    }
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace vantorico
