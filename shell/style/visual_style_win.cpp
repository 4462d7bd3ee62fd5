#include "shell/style/visual_style.h"

#include "base/win_handles.h"
#include "shell/style/style_attach_win.h"
#include "shell/style/style_constants.h"

namespace vantorico::style {
namespace {

int g_scheme = 0;
UniqueHook g_hook;

// Attaches each window before its own procedure sees WM_CREATE.
LRESULT CALLBACK CreationHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code >= 0) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (call && call->message == WM_CREATE) AttachWindow(call->hwnd);
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

int SwitchOn() {
  AttachThreadWindows();
  g_hook.reset(SetWindowsHookExA(WH_CALLWNDPROC, CreationHook, nullptr, GetCurrentThreadId()));
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
