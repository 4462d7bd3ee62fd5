// The tool's handlers on the live window, driven in process as a user would.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/handlers.h"
#include "iconlib/command/extract_file_icon.h"
#include "app/layout_handlers.h"
#include "app/library_setup.h"
#include "app/stored_layout.h"
#include "base/heap.h"
#include "framework/window_lifecycle_win.h"
#include "framework/window_table_win.h"
#include "runtime/core/command_call.h"
#include "runtime/core/memory.h"
#include "runtime/core/run_directory.h"
#include "runtime/startup.h"
#include "runtime/window_commands.h"
#include "shell/commands/tray_commands.h"
#include "shell/style/style_attach_win.h"
#include "tests/shell/drop/test_data_object_win.h"
#include "tests/support/dialog_watcher_win.h"

namespace vantorico {
namespace {

using testing_support::DialogWatcher;
using testing_support::TestDataObject;
using testing_support::WindowText;

constexpr uint32_t kWindowUnit = 0x06010000;
constexpr uint32_t kEdit = 0x16010004;
constexpr uint32_t kExtract = 0x1601000E;
constexpr uint32_t kBrowse = 0x16010029;
constexpr uint32_t kAbout = 0x1601000F;
constexpr uint32_t kHelp = 0x1601001F;
constexpr uint32_t kToTray = 0x1601002E;
constexpr UINT kTrayCallback = 0x8064;
constexpr UINT kTrayId = 100;

// A Linux path as Wine sees it.
std::string WinePath(const char* unix_path) {
  std::string p = std::string("Z:") + unix_path;
  for (char& c : p) {
    if (c == '/') c = '\\';
  }
  return p;
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterLibraries();
    InitializeRuntime(ByteSpan(kStoredLayout, kStoredLayoutSize), HandlerTable(), kHandlerCount);
    run_dir_ = GetProgramPath().runDirectory;
    RemoveOutputs();
    LoadStartWindow(kMainWindowId);
    window_ = FindWindowEntry(kMainWindowId)->live.get();
    ASSERT_NE(window_, nullptr);
    hwnd_ = window_->hwnd;
  }
  void TearDown() override {
    if (FindWindowEntry(kMainWindowId)->live) {
      CallCoreCommand(DestroyWindowUnit, 2, ArgSlot{kMainWindowId, kWindowUnit, kUnitTypeWindow},
                      BoolSlot(true));
    }
    Pump();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    RemoveOutputs();
  }
  void RemoveOutputs() {
    for (int i = 1; i <= 5; ++i) DeleteFileA(Output(i).c_str());
  }
  std::string Output(int i) { return run_dir_ + "\\" + std::to_string(i) + ".ico"; }
  HWND Control(uint32_t id) { return window_->FindUnit(id)->hwnd; }
  std::string PathBox() { return WindowText(Control(kEdit)); }
  void Click(uint32_t id) { SendMessageA(Control(id), BM_CLICK, 0, 0); }

  void Drop(const std::vector<std::string>& paths) {
    auto* target = static_cast<IDropTarget*>(GetPropA(hwnd_, "OleDropTargetInterface"));
    ASSERT_NE(target, nullptr);
    TestDataObject data;
    data.OfferFiles(paths);
    POINTL pt{10, 10};
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    target->DragEnter(&data, MK_LBUTTON, pt, &effect);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    target->Drop(&data, 0, pt, &effect);
  }

  std::string run_dir_;
  LiveWindow* window_ = nullptr;
  HWND hwnd_ = nullptr;
};

TEST_F(AppTest, WindowCreatedSwitchesStyleOnAddsTrayIconAndRegistersDrop) {
  EXPECT_NE(GetPropA(hwnd_, "OleDropTargetInterface"), nullptr);
  EXPECT_NE(TrayIconOf(kMainWindowId), nullptr);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Control(kExtract), GWLP_WNDPROC)),
            style::StyleWindowProcedure);
  EXPECT_FALSE(IsWindowEnabled(Control(kExtract)));
  EXPECT_EQ(PathBox(), "");
}

// The program's resources carry its "DEFAULT_ICON" group (this test links them too).
TEST_F(AppTest, TitleBarShowsTheProgramIconInBothSizes) {
  const int sizes[][2] = {{ICON_BIG, GetSystemMetrics(SM_CXICON)},
                          {ICON_SMALL, GetSystemMetrics(SM_CXSMICON)}};
  for (const auto& [which, size] : sizes) {
    auto icon = reinterpret_cast<HICON>(SendMessageA(hwnd_, WM_GETICON, which, 0));
    ASSERT_NE(icon, nullptr) << which;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, size) << which;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
}

TEST_F(AppTest, DroppedFileFillsThePathBoxAndEnablesExtract) {
  Drop({"C:\\工具\\程序.exe"});
  EXPECT_EQ(PathBox(), "C:\\工具\\程序.exe");
  EXPECT_TRUE(IsWindowEnabled(Control(kExtract)));
}

// "提取完成" only when something was written and nothing failed; otherwise
// the box says why, and no file is written in place of the source.
TEST_F(AppTest, ExtractionSaysWhatHappened) {
  const std::string dll = WinePath(THREE_GROUPS_DLL);
  const std::string text_ico = run_dir_ + "\\notes.ico";
  {
    std::ofstream notes(text_ico, std::ios::binary);
    notes << "not an icon";
  }
  // An icon file named like the first output is the source itself.
  const std::string own = Output(1);
  CopyFileA(WinePath(VANTORICO_SOURCE_DIR "/tests/data/two_images.ico").c_str(), own.c_str(),
            FALSE);
  const bool have_own = Exists(own);
  const std::string own_bytes = ReadFile(own);
  const struct {
    std::vector<std::string> drop;
    const char* says;
    const char* why;
  } cases[] = {
      {{dll, dll}, "没有找到可以提取的图标", "只能从 exe、dll、icl"},
      {{"C:\\windows\\system32\\kernel32.dll"}, "没有找到可以提取的图标", "没有图标"},
      {{text_ico}, "没有找到可以提取的图标", "已损坏"},
      {{"C:\\no\\such.dll"}, "没有找到可以提取的图标", "无法读取"},
      {{own}, "有图标文件未能写入", "源文件本身"},
  };
  for (const auto& c : cases) {
    if (c.drop[0] == own && !have_own) continue;
    Drop(c.drop);
    DialogWatcher watcher;
    Click(kExtract);
    ASSERT_EQ(watcher.seen().size(), 1u) << c.drop[0];
    EXPECT_NE(watcher.seen()[0].text.find(c.says), std::string::npos) << watcher.seen()[0].text;
    EXPECT_NE(watcher.seen()[0].text.find(c.why), std::string::npos) << watcher.seen()[0].text;
    EXPECT_EQ(watcher.seen()[0].text.find("提取完成"), std::string::npos);
    // Nothing written: 1.ico is the icon file put there above, 2.ico absent.
    EXPECT_FALSE(Exists(Output(2))) << c.drop[0];
  }
  if (have_own) {
    EXPECT_EQ(ReadFile(own), own_bytes);
  }
  DeleteFileA(text_ico.c_str());
}

TEST_F(AppTest, ExtractWritesEachGroupAndLeavesOtherFilesAlone) {
  const std::string dll = WinePath(THREE_GROUPS_DLL);
  {
    std::ofstream keep(Output(4), std::ios::binary);
    keep << "mine";
  }
  Drop({dll});
  // What an earlier test left in the engine's cache is not this click's.
  ReleaseExtractCache();
  const HeapCounters before = GetHeapCounters();
  DialogWatcher watcher;
  Click(kExtract);
  // What the engine keeps of the source for the next click is its own.
  ReleaseExtractCache();
  const HeapCounters after = GetHeapCounters();
  EXPECT_EQ(after.liveBlocks, before.liveBlocks);
  EXPECT_EQ(after.liveBytes, before.liveBytes);
  // Each pass made its texts and freed them again.
  EXPECT_GE(after.totalAllocations - before.totalAllocations, 4u * 1000u);
  ASSERT_EQ(watcher.seen().size(), 1u);
  EXPECT_EQ(watcher.seen()[0].text, "提取完成");
  for (int i = 1; i <= 3; ++i) {
    const std::string icon = ReadFile(Output(i));
    ASSERT_GE(icon.size(), 6u) << i;
    EXPECT_EQ(icon.substr(0, 4), std::string("\0\0\1\0", 4)) << i;
  }
  EXPECT_EQ(ReadFile(Output(4)), "mine");
  EXPECT_FALSE(Exists(Output(5)));
}

TEST_F(AppTest, BrowseCancelledBeforeAnyFileEmptiesThePathBoxAndEnablesExtract) {
  DialogWatcher watcher;
  watcher.QueueAnswer(IDCANCEL);
  Click(kBrowse);
  ASSERT_EQ(watcher.seen().size(), 1u);
  EXPECT_EQ(PathBox(), "");
  EXPECT_TRUE(IsWindowEnabled(Control(kExtract)));
}

TEST_F(AppTest, BrowsePicksAFileAndACancelKeepsIt) {
  const std::string dll = WinePath(THREE_GROUPS_DLL);
  DialogWatcher watcher;
  watcher.OnDialog([&](HWND dialog) { SetDlgItemTextA(dialog, 0x47C, dll.c_str()); });
  Click(kBrowse);
  EXPECT_STRCASEEQ(PathBox().c_str(), dll.c_str());
  // A later cancelled dialog writes the last chosen path again.
  watcher.OnDialog(nullptr);
  watcher.QueueAnswer(IDCANCEL);
  Drop({"C:\\other.exe"});
  Click(kBrowse);
  EXPECT_STRCASEEQ(PathBox().c_str(), dll.c_str());
}

TEST_F(AppTest, FreeingAConstantTextDoesNothing) {
  static const char kLiteral[] = "提取完成";
  const HeapCounters before = GetHeapCounters();
  FreeMemory(kLiteral);
  FreeMemory(kStoredLayout + 100);
  const HeapCounters after = GetHeapCounters();
  EXPECT_EQ(after.liveBlocks, before.liveBlocks);
  EXPECT_EQ(after.liveBytes, before.liveBytes);
  EXPECT_STREQ(kLiteral, "提取完成");
}

TEST_F(AppTest, AboutAndHelpShowTheirTexts) {
  DialogWatcher watcher;
  Click(kAbout);
  Click(kHelp);
  ASSERT_EQ(watcher.seen().size(), 2u);
  EXPECT_NE(watcher.seen()[0].text.find("欢迎使用本工具，可以方便你提取然后软件的ICO图标文件"),
            std::string::npos);
  EXPECT_EQ(
      watcher.seen()[1].text,
      "直接用鼠标拖放要提取ico图标的程序到本工具窗口即可，点击提取图标按钮后即可在本工具所在目录"
      "生成提取出的所有图标文件");
  for (const auto& box : watcher.seen()) {
    EXPECT_EQ(box.caption, "信息：");
    EXPECT_FALSE(box.hasIcon);
  }
}

TEST_F(AppTest, TrayHidesAndADoubleClickRestores) {
  Click(kToTray);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_NE(TrayIconOf(kMainWindowId), nullptr);
  SendMessageA(hwnd_, kTrayCallback, kTrayId, WM_LBUTTONUP);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  SendMessageA(hwnd_, kTrayCallback, kTrayId, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
}

// Records the items of the popup menu that opens and closes it.
struct PopupRecorder {
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && msg->message == WM_INITMENUPOPUP) {
      auto menu = reinterpret_cast<HMENU>(msg->wParam);
      for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        items.push_back({text, GetMenuItemID(menu, i)});
      }
      PostMessageA(msg->hwnd, WM_CANCELMODE, 0, 0);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
  }
  static inline std::vector<std::pair<std::string, UINT>> items;
};

TEST_F(AppTest, RightClickPopsUpTheFileMenu) {
  HHOOK hook =
      SetWindowsHookExA(WH_CALLWNDPROC, PopupRecorder::Hook, nullptr, GetCurrentThreadId());
  PopupRecorder::items.clear();
  SendMessageA(hwnd_, kTrayCallback, kTrayId, WM_RBUTTONUP);
  UnhookWindowsHookEx(hook);
  ASSERT_EQ(PopupRecorder::items.size(), 2u);
  EXPECT_EQ(PopupRecorder::items[0].first, "打开程序");
  EXPECT_EQ(PopupRecorder::items[0].second, 20001u);
  EXPECT_EQ(PopupRecorder::items[1].first, "退出程序");
  EXPECT_EQ(PopupRecorder::items[1].second, 20002u);
}

TEST_F(AppTest, ExitFromTheTrayMenuEndsTheLoopAndRemovesTheIcon) {
  Click(kToTray);
  SetMessageLoopEntered();
  SendMessageA(hwnd_, WM_COMMAND, 20002, 0);
  EXPECT_TRUE(IsWindow(hwnd_));
  Pump();
  EXPECT_FALSE(IsWindow(hwnd_));
  EXPECT_EQ(TrayIconOf(kMainWindowId), nullptr);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u);
  // The shell no longer knows the icon.
  NOTIFYICONDATAA data = {};
  data.cbSize = sizeof data;
  data.hWnd = hwnd_;
  data.uID = kTrayId;
  EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
}

TEST_F(AppTest, OpenChosenShowsTheHiddenWindow) {
  Click(kToTray);
  SendMessageA(hwnd_, WM_COMMAND, 20001, 0);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
}

TEST(StartupDeathTest, UnreadableLayoutIsTheStartWindowError) {
  std::vector<uint8_t> cut(kStoredLayout, kStoredLayout + kStoredLayoutSize / 2);
  EXPECT_EXIT(
      {
        DialogWatcher watcher;
        watcher.OnDialog([](HWND dialog) {
          char text[256] = {};
          GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);
          std::fprintf(stderr, "[%s]\n", std::strstr(text, "载入启动窗口失败") ? "start" : text);
        });
        RegisterLibraries();
        InitializeRuntime(ByteSpan(cut.data(), cut.size()), HandlerTable(), kHandlerCount);
      },
      testing::ExitedWithCode(-1), "\\[start\\]");
}

}  // namespace
}  // namespace vantorico
