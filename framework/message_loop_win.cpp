#include "framework/message_loop_win.h"

#include "framework/window_lifecycle_win.h"
#include "framework/window_table_win.h"

namespace vantorico {
namespace {

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

int RunMessageLoop() {
  SetMessageLoopEntered();
  if (!AnyWindowLoaded()) return 0;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace vantorico
