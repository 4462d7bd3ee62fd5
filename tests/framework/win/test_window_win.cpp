#include "tests/framework/win/test_window_win.h"

#include "app/layout_handlers.h"
#include "app/stored_layout.h"
#include "framework/events_win.h"
#include "framework/layout_reader.h"
#include "framework/window_table_win.h"
#include "runtime/common_dlg_unit.h"

namespace vantorico::testing_support {
namespace {

template <int N>
void Record(ArgSlot* args, int count) {
  RaisedEvent e{N, "", false};
  if (count > 0 && args[0].type == kTypeText && SlotText(args[0])) e.text = SlotText(args[0]);
  if (WindowEntry* w = FindWindowEntry(kMainWindowId); w && w->live) {
    e.windowVisible = IsWindowVisible(w->live->hwnd) != FALSE;
  }
  RaisedEvents().push_back(e);
}

template <int... I>
const EventHandler* MakeTable(std::integer_sequence<int, I...>) {
  static const EventHandler table[] = {Record<I>...};
  return table;
}

}  // namespace

std::vector<RaisedEvent>& RaisedEvents() {
  static std::vector<RaisedEvent> events;
  return events;
}

int CountRaised(int handler) {
  int n = 0;
  for (const RaisedEvent& e : RaisedEvents()) n += e.handler == handler;
  return n;
}

void InstallRecordingLayout() {
  LayoutRecord layout;
  if (!ReadLayout(ByteSpan(kStoredLayout, kStoredLayoutSize), kHandlerCount, &layout)) abort();
  SetProgramLayout(std::move(layout));
  RegisterCommonDlgUnits();
  SetEventHandlers(MakeTable(std::make_integer_sequence<int, kHandlerCount>()), kHandlerCount);
  RaisedEvents().clear();
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the caller to see
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

HWND MainWindowHandle() {
  WindowEntry* w = FindWindowEntry(kMainWindowId);
  return w && w->live ? w->live->hwnd : nullptr;
}

}  // namespace vantorico::testing_support
