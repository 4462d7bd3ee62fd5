// Property reads and writes by index, their events and their runtime errors.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "app/layout_handlers.h"
#include "app/stored_layout.h"
#include "runtime/core/command_call.h"
#include "runtime/core/memory.h"
#include "framework/window_table_win.h"
#include "runtime/window_commands.h"
#include "tests/framework/win/test_window_win.h"
#include "tests/support/dialog_watcher_win.h"

namespace vantorico {
namespace {

using namespace testing_support;

constexpr uint32_t kEdit = 0x16010004;
constexpr uint32_t kExtract = 0x1601000E;
constexpr uint32_t kDialog = 0x1601002A;

class PropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRecordingLayout();
    LoadStartWindow(kMainWindowId);
    ASSERT_NE(MainWindowHandle(), nullptr);
    RaisedEvents().clear();
  }
  void TearDown() override {
    if (MainWindowHandle()) {
      CallCoreCommand(DestroyWindowUnit, 2, ArgSlot{kMainWindowId, 0x06010000, kUnitTypeWindow},
                      BoolSlot(true));
    }
    PumpMessages();
  }
  std::string Content() {
    ArgSlot v = ReadUnitProperty(kMainWindowId, kEdit, kPropertyContent);
    std::string s = SlotText(v) ? SlotText(v) : "<null>";
    FreeMemory(SlotText(v));
    return s;
  }
};

TEST_F(PropertiesTest, ContentWriteRaisesContentChangedExactlyOnce) {
  EXPECT_EQ(Content(), "<null>");
  WriteUnitProperty(kMainWindowId, kEdit, kPropertyContent, TextSlot("C:\\工具\\a.exe"));
  EXPECT_EQ(CountRaised(kHandlerOnPathChanged), 1);
  EXPECT_EQ(Content(), "C:\\工具\\a.exe");
  WriteUnitProperty(kMainWindowId, kEdit, kPropertyContent, TextSlot("C:\\工具\\a.exe"));
  EXPECT_EQ(CountRaised(kHandlerOnPathChanged), 2);
  WriteUnitProperty(kMainWindowId, kEdit, kPropertyContent, TextSlot(nullptr));
  EXPECT_EQ(CountRaised(kHandlerOnPathChanged), 3);
  EXPECT_EQ(Content(), "<null>");
}

TEST_F(PropertiesTest, WrittenTextStaysTheCallers) {
  char text[] = "D:\\x.dll";
  WriteUnitProperty(kMainWindowId, kEdit, kPropertyContent, TextSlot(text));
  text[0] = 'E';
  EXPECT_EQ(Content(), "D:\\x.dll");
}

TEST_F(PropertiesTest, DisabledAndVisibleReachTheControlAndTheStoredFlags) {
  HWND button = FindWindowEntry(kMainWindowId)->live->FindUnit(kExtract)->hwnd;
  EXPECT_EQ(ReadUnitProperty(kMainWindowId, kExtract, kPropertyDisabled).value, 1u);
  WriteUnitProperty(kMainWindowId, kExtract, kPropertyDisabled, BoolSlot(false));
  EXPECT_TRUE(IsWindowEnabled(button));
  EXPECT_EQ(ReadUnitProperty(kMainWindowId, kExtract, kPropertyDisabled).value, 0u);
  WriteUnitProperty(kMainWindowId, kExtract, kPropertyVisible, BoolSlot(false));
  EXPECT_FALSE(IsWindowVisible(button));
  EXPECT_EQ(ReadUnitProperty(kMainWindowId, kExtract, kPropertyVisible).value, 0u);
  EXPECT_EQ(ReadUnitProperty(kMainWindowId, kExtract, kPropertyLeft).value, 160u);
  EXPECT_EQ(ReadUnitProperty(kMainWindowId, kExtract, kPropertyWidth).value, 72u);
}

TEST_F(PropertiesTest, FileNameOfTheDialogUnitStartsEmpty) {
  const ArgSlot name = ReadUnitProperty(kMainWindowId, kDialog, kPropertyFileName);
  EXPECT_EQ(SlotText(name), nullptr);
  WriteUnitProperty(kMainWindowId, kDialog, kPropertyFileName, TextSlot("C:\\a.exe"));
  const ArgSlot again = ReadUnitProperty(kMainWindowId, kDialog, kPropertyFileName);
  ASSERT_NE(SlotText(again), nullptr);
  EXPECT_STREQ(SlotText(again), "C:\\a.exe");
  FreeMemory(SlotText(again));
}

// In a child process: prints what the error box showed, then lets it close.
void ExpectErrorBox(DialogWatcher* watcher) {
  watcher->OnDialog([](HWND dialog) {
    char caption[64] = {}, text[512] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);
    for (char* p = text; *p; ++p) {
      if (*p == '\r' || *p == '\n') *p = '|';
    }
    std::fprintf(stderr, "[%s] %s\n", caption, text);
    std::fflush(stderr);
  });
}

TEST(PropertiesDeathTest, RuntimeErrorsOfTheCommands) {
  EXPECT_EXIT(
      {
        InstallRecordingLayout();
        DialogWatcher watcher;
        ExpectErrorBox(&watcher);
        CallCoreCommand(GetWindowHandle, 1, ArgSlot{kMainWindowId, 0x06010000, kUnitTypeWindow});
      },
      testing::ExitedWithCode(-1), "\\[错误\\] .*指定窗口或窗口组件不存在或尚未载入");
  EXPECT_EXIT(
      {
        InstallRecordingLayout();
        DialogWatcher watcher;
        ExpectErrorBox(&watcher);
        ReadUnitProperty(0x52019999, kEdit, kPropertyContent);
      },
      testing::ExitedWithCode(-1), "未载入欲访问窗口组件所在的窗口");
  EXPECT_EXIT(
      {
        InstallRecordingLayout();
        DialogWatcher watcher;
        ExpectErrorBox(&watcher);
        WriteUnitProperty(kMainWindowId, kEdit, kPropertyContent, TextSlot("x"));
      },
      testing::ExitedWithCode(-1), "指定窗口尚未载入");
  EXPECT_EXIT(
      {
        InstallRecordingLayout();
        DialogWatcher watcher;
        ExpectErrorBox(&watcher);
        CallCoreCommand(DestroyWindowUnit, 2, ArgSlot{kMainWindowId, 0x06010000, kUnitTypeWindow},
                        OmittedSlot());
      },
      testing::ExitedWithCode(-1), "指定窗口或窗口组件不存在或尚未载入");
}

TEST(PropertiesDeathTest, StoredValuesOfAnUnloadedWindowNeedNoWindow) {
  InstallRecordingLayout();
  EXPECT_EQ(ReadUnitProperty(kMainWindowId, kExtract, kPropertyDisabled).value, 1u);
  WriteUnitProperty(kMainWindowId, kExtract, kPropertyDisabled, BoolSlot(false));
  EXPECT_EQ(ReadUnitProperty(kMainWindowId, kExtract, kPropertyDisabled).value, 0u);
  EXPECT_EQ(ReadUnitProperty(kMainWindowId, kExtract, kPropertyTop).value, 48u);
}

TEST(StartupDeathTest, UnknownStartWindowIsTheStartWindowError) {
  EXPECT_EXIT(
      {
        InstallRecordingLayout();
        DialogWatcher watcher;
        ExpectErrorBox(&watcher);
        LoadStartWindow(0x52010002);
      },
      testing::ExitedWithCode(-1), "\\[错误\\] 运行时出错!.*载入启动窗口失败");
}

}  // namespace
}  // namespace vantorico
