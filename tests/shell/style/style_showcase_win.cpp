// Shows the styled controls in scheme 1 for the documentation screenshots:
// style_showcase [messagebox] [seconds]. It ends itself after the given time.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "runtime/core/command_call.h"
#include "shell/style/visual_style.h"

namespace {

constexpr UINT_PTR kEndTimer = 1;
constexpr UINT_PTR kBoxTimer = 2;
constexpr int kBoxDelayMs = 300;

bool g_show_box = false;

LRESULT CALLBACK ShowcaseProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER && wparam == kEndTimer) ExitProcess(0);
  if (message == WM_TIMER && wparam == kBoxTimer) {
    KillTimer(hwnd, kBoxTimer);
    MessageBoxA(hwnd, "提取完成", "信息：", MB_OK);
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

HWND Make(HWND parent, DWORD ex, const char* cls, const char* text, DWORD style, int x, int y,
          int w, int h) {
  HWND hwnd = CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                              nullptr, nullptr, nullptr);
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return hwnd;
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 8;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "messagebox") == 0) {
      g_show_box = true;
    } else {
      seconds = std::atoi(argv[i]);
    }
  }
  INITCOMMONCONTROLSEX init{sizeof init, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&init);

  WNDCLASSA wc{};
  wc.lpfnWndProc = ShowcaseProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "StyleShowcase";
  RegisterClassA(&wc);
  HWND main_window =
      CreateWindowExA(0, "StyleShowcase", "图标提取器", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                      40, 40, 440, 250, nullptr, nullptr, wc.hInstance, nullptr);

  Make(main_window, WS_EX_CLIENTEDGE, "Edit", "C:\\windows\\system32\\shell32.dll",
       ES_READONLY | ES_AUTOHSCROLL, 12, 12, 320, 21);
  Make(main_window, 0, "Button", "浏览文件", BS_PUSHBUTTON, 340, 11, 80, 23);
  HWND extract = Make(main_window, 0, "Button", "提取图标", BS_PUSHBUTTON, 12, 44, 80, 23);
  EnableWindow(extract, FALSE);
  HWND hot = Make(main_window, 0, "Button", "使用说明", BS_PUSHBUTTON, 100, 44, 80, 23);
  Make(main_window, 0, "Button", "关于", BS_DEFPUSHBUTTON, 188, 44, 80, 23);
  Make(main_window, 0, "Button", "最小到托盘", BS_PUSHBUTTON, 276, 44, 90, 23);
  HWND group = Make(main_window, 0, "Button", "选项", BS_GROUPBOX, 12, 78, 408, 130);
  (void)group;
  HWND check = Make(main_window, 0, "Button", "覆盖已有文件", BS_AUTOCHECKBOX, 24, 98, 130, 20);
  SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);
  Make(main_window, 0, "Button", "只提取第一组", BS_AUTOCHECKBOX, 24, 122, 130, 20);
  HWND radio = Make(main_window, 0, "Button", "ICO 文件", BS_AUTORADIOBUTTON, 170, 98, 100, 20);
  SendMessageA(radio, BM_SETCHECK, BST_CHECKED, 0);
  Make(main_window, 0, "Button", "BMP 文件", BS_AUTORADIOBUTTON, 170, 122, 100, 20);
  HWND combo =
      Make(main_window, 0, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL, 24, 152, 150, 120);
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("全部图标"));
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  Make(main_window, WS_EX_CLIENTEDGE, "Edit", "1", 0, 190, 152, 60, 22);
  Make(main_window, 0, UPDOWN_CLASSA, "", UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_SETBUDDYINT, 0, 0, 0,
       0);
  Make(main_window, 0, "Button", "取消", BS_PUSHBUTTON | WS_DISABLED, 290, 152, 80, 23);

  ShowWindow(main_window, SW_SHOW);
  UpdateWindow(main_window);
  vantorico::CallCoreCommand(vantorico::style::SetVisualStyle, 1, vantorico::IntSlot(1));

  // The pointer rests on one button, so it shows hot.
  RECT r{};
  GetWindowRect(hot, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageA(hot, WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));

  SetTimer(main_window, kEndTimer, seconds * 1000, nullptr);
  if (g_show_box) SetTimer(main_window, kBoxTimer, kBoxDelayMs, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
