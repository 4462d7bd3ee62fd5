#include <windows.h>

#include <gtest/gtest.h>

#include "runtime/core/command_call.h"
#include "runtime/core/core_commands.h"
#include "runtime/core/memory.h"
#include "runtime/core/run_directory.h"
#include "tests/support/dialog_watcher_win.h"

namespace vantorico {
namespace {

using testing_support::DialogWatcher;

TEST(ShowMessageBox, DefaultCaptionTaskModalAndOk) {
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  DialogWatcher watcher;
  watcher.WatchWindow(other);
  ArgSlot r = CallCoreCommand(ShowMessageBox, 3, TextSlot("提取完成"), IntSlot(0), OmittedSlot());
  EXPECT_EQ(SlotInt(r), 0);
  ASSERT_EQ(watcher.seen().size(), 1u);
  EXPECT_EQ(watcher.seen()[0].caption, "信息：");
  EXPECT_EQ(watcher.seen()[0].text, "提取完成");
  EXPECT_FALSE(watcher.seen()[0].hasIcon);
  // Task-modal: the thread's other top-level window is disabled while the box shows.
  ASSERT_EQ(watcher.seen()[0].disabledTopLevels.size(), 1u);
  EXPECT_TRUE(IsWindowEnabled(other));
  DestroyWindow(other);
}

TEST(ShowMessageBox, AnswersMapAndCaptionIsTaken) {
  DialogWatcher watcher;
  watcher.QueueAnswer(IDNO);
  watcher.QueueAnswer(IDCANCEL);
  ArgSlot no = CallCoreCommand(ShowMessageBox, 3, IntSlot(42), IntSlot(MB_YESNO), TextSlot("标题"));
  ArgSlot cancel =
      CallCoreCommand(ShowMessageBox, 3, BoolSlot(true), IntSlot(MB_OKCANCEL), OmittedSlot());
  EXPECT_EQ(SlotInt(no), 6);
  EXPECT_EQ(SlotInt(cancel), 1);
  ASSERT_EQ(watcher.seen().size(), 2u);
  EXPECT_EQ(watcher.seen()[0].caption, "标题");
  EXPECT_EQ(watcher.seen()[0].text, "42");
  EXPECT_EQ(watcher.seen()[1].text, "真");
}

TEST(RunDirectory, IsTheProgramsFolderAndCurrent) {
  InitRunDirectory();
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, sizeof module);
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof current, current);
  ArgSlot dir = CallCoreCommand(GetRunDirectory, 0);
  ASSERT_NE(SlotText(dir), nullptr);
  std::string expected(module, std::string(module).rfind('\\'));
  EXPECT_EQ(SlotText(dir), expected);
  EXPECT_EQ(std::string(current), expected);
  FreeMemory(SlotText(dir));
}

}  // namespace
}  // namespace vantorico
