// The fatal error, seen from a child process: it shows the "错误" box with the
// stop icon and exits with -1.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "base/heap.h"
#include "runtime/core/memory.h"
#include "runtime/core/runtime_error.h"
#include "tests/support/dialog_watcher_win.h"

namespace vantorico {
namespace {

using testing_support::DialogWatcher;

// Prints what the box showed to stderr, where the death test reads it.
void ReportBoxesOnExit(DialogWatcher* watcher) {
  watcher->OnDialog([](HWND dialog) {
    char caption[64] = {}, text[512] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);
    const bool icon = testing_support::HasVisibleIcon(dialog);
    // Line breaks become '|' so the pattern does not depend on stderr's text mode.
    for (char* p = text; *p; ++p) {
      if (*p == '\r' || *p == '\n') *p = '|';
    }
    std::fprintf(stderr, "[box caption=%s icon=%d] %s\n", caption, icon ? 1 : 0, text);
    std::fflush(stderr);
  });
}

TEST(RuntimeErrorDeathTest, ShowsTheErrorBoxAndExitsMinusOne) {
  EXPECT_EXIT(
      {
        DialogWatcher watcher;
        ReportBoxesOnExit(&watcher);
        ReportRuntimeError("载入启动窗口失败", 0);
      },
      testing::ExitedWithCode(-1),
      "\\[box caption=错误 icon=1\\] 运行时出错!\\|\\|\\|\\|错误信息：载入启动窗口失败\\|\\|");
}

TEST(RuntimeErrorDeathTest, AllocationFailureNamesTheSize) {
  EXPECT_EXIT(
      {
        DialogWatcher watcher;
        ReportBoxesOnExit(&watcher);
        SetHeapFailureAfter(0);
        AllocateMemory(4096);
      },
      testing::ExitedWithCode(-1), "icon=1\\] .*错误信息：分配 4096 字节内存失败!");
}

}  // namespace
}  // namespace vantorico
