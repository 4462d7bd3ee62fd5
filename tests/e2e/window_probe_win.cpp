// Reads the tool's windows from outside, for the end-to-end script: it only
// looks (it sends no input and changes nothing).
//
//   window_probe TITLE              one line for the top-level window TITLE and
//                                   one per child control, or exit 1 if none
//   window_probe --wait TITLE SECS  the same once the window exists (exit 1 on time-out),
//                                   after a first line "waiting" once it looks
//   window_probe --class CLASS      the first visible top-level window of that class
//
// Lines: kind visible enabled x y w h class text   (screen coordinates; text in GBK)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void PrintWindow(const char* kind, HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  // GetWindowText of another process's window gives only its creation
  // caption; an edit keeps its text itself, so ask the window.
  char text[1024] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  for (char* p = text; *p; ++p) {
    if (*p == '\r') *p = '|';
    if (*p == '\n') *p = '/';
  }
  std::printf("%s %d %d %ld %ld %ld %ld %s %s\n", kind, IsWindowVisible(hwnd) ? 1 : 0,
              IsWindowEnabled(hwnd) ? 1 : 0, rc.left, rc.top, rc.right - rc.left,
              rc.bottom - rc.top, cls, text);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  PrintWindow("control", child);
  return TRUE;
}

}  // namespace

// Short enough that a timed wait measures the tool, not the polling.
constexpr DWORD kWaitPollMs = 5;

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--class") == 0) {
    HWND found = FindWindowA(argv[2], nullptr);
    if (!found || !IsWindowVisible(found)) return 1;
    PrintWindow("window", found);
    return 0;
  }
  const bool wait = argc >= 4 && std::strcmp(argv[1], "--wait") == 0;
  if (argc < 2 || (std::strcmp(argv[1], "--wait") == 0 && !wait)) {
    std::fprintf(stderr, "usage: window_probe [--wait] TITLE [SECONDS]\n");
    return 2;
  }
  const char* title = wait ? argv[2] : argv[1];
  const DWORD deadline =
      GetTickCount() + (wait ? static_cast<DWORD>(std::atoi(argv[3]) * 1000) : 0);
  if (wait) {
    // A timing script starts the probe first and acts once it is looking.
    std::printf("waiting\n");
    std::fflush(stdout);
  }
  HWND hwnd = nullptr;
  for (;;) {
    hwnd = FindWindowA(nullptr, title);
    if (hwnd || GetTickCount() >= deadline) break;
    Sleep(kWaitPollMs);
  }
  if (!hwnd) return 1;
  PrintWindow("window", hwnd);
  std::fflush(stdout);  // the moment it was found, for a timing reader
  EnumChildWindows(hwnd, PrintChild, 0);
  return 0;
}
