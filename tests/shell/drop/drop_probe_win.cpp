// A window with a DropTarget unit taking files, for drops made from the X side:
// prints "ready X Y" (a screen point inside it), then one "FilesDropped <text>"
// line per drop with CR and LF shown as \r and \n, and ends after the given
// number of drops or after a time limit.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/drop/drop_target_unit_win.h"

namespace {

constexpr UINT_PTR kTimeLimitTimer = 1;
constexpr UINT kTimeLimitMs = 30000;

std::string Escaped(const char* text) {
  std::string out;
  for (const char* p = text ? text : ""; *p; ++p) {
    if (*p == '\r')
      out += "\\r";
    else if (*p == '\n')
      out += "\\n";
    else
      out += *p;
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const int wanted = argc > 1 ? std::atoi(argv[1]) : 1;
  if (FAILED(OleInitialize(nullptr))) return 2;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "VantoricoDropProbe";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "drop probe",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150, 400, 300, nullptr,
                                nullptr, wc.hInstance, nullptr);
  if (!window) return 2;
  int drops = 0;
  {
    vantorico::DropTargetSettings files;
    files.acceptFiles = 1;
    vantorico::DropTargetUnit unit(window, files, [&](int eventIndex, const char* text) {
      std::printf("%s %s\n", eventIndex == vantorico::FilesDropped ? "FilesDropped" : "Other",
                  Escaped(text).c_str());
      std::fflush(stdout);
      if (++drops >= wanted) PostQuitMessage(0);
      return true;
    });
    if (!unit.RegisterFileDrop(window)) return 2;
    UpdateWindow(window);
    RECT r = {};
    GetClientRect(window, &r);
    POINT center = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(window, &center);
    std::printf("ready %ld %ld\n", center.x, center.y);
    std::fflush(stdout);
    SetTimer(window, kTimeLimitTimer, kTimeLimitMs, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      if (msg.message == WM_TIMER && msg.wParam == kTimeLimitTimer) break;
      DispatchMessageA(&msg);
    }
  }
  DestroyWindow(window);
  OleUninitialize();
  return drops >= wanted ? 0 : 1;
}
