// MainWindow built from the stored layout, read back through Win32.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/layout_handlers.h"
#include "app/stored_layout.h"
#include "framework/layout_constants.h"
#include "framework/window_lifecycle_win.h"
#include "framework/window_table_win.h"
#include "runtime/core/command_call.h"
#include "runtime/window_commands.h"
#include "tests/framework/win/test_window_win.h"
#include "tests/support/dialog_watcher_win.h"

namespace vantorico {
namespace {

using namespace testing_support;

ArgSlot MainRef() {
  return {kMainWindowId, 0x06010000, kUnitTypeWindow};
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRecordingLayout();
    LoadStartWindow(kMainWindowId);
    hwnd_ = MainWindowHandle();
    ASSERT_NE(hwnd_, nullptr);
  }
  void TearDown() override {
    if (MainWindowHandle()) CallCoreCommand(DestroyWindowUnit, 2, MainRef(), BoolSlot(true));
    PumpMessages();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  HWND Control(uint32_t unit_id) {
    LiveUnit* u = FindWindowEntry(kMainWindowId)->live->FindUnit(unit_id);
    return u ? u->hwnd : nullptr;
  }
  HWND hwnd_ = nullptr;
};

std::string ClassOf(HWND h) {
  char name[64] = {};
  GetClassNameA(h, name, sizeof name);
  return name;
}

TEST_F(MainWindowTest, WindowIsCentredFixedSizeWithTitleAndNoMenu) {
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_EQ(WindowText(hwnd_), "VantorICO图标提取工具");
  RECT rc;
  GetWindowRect(hwnd_, &rc);
  EXPECT_EQ(rc.right - rc.left, 423);
  EXPECT_EQ(rc.bottom - rc.top, 155);
  // The desktop may be a virtual one; centring is against its metrics.
  EXPECT_EQ(rc.left, (GetSystemMetrics(SM_CXSCREEN) - 423) / 2);
  EXPECT_EQ(rc.top, (GetSystemMetrics(SM_CYSCREEN) - 155) / 2);
  const LONG style = GetWindowLongA(hwnd_, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(GetWindowLongA(hwnd_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(GetMenu(hwnd_), nullptr);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)),
            static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

TEST_F(MainWindowTest, CreatedEventsRaisedOnceBeforeTheFirstShow) {
  ASSERT_EQ(CountRaised(kHandlerOnWindowCreated), 1);
  for (const RaisedEvent& e : RaisedEvents()) {
    if (e.handler == kHandlerOnWindowCreated) {
      EXPECT_FALSE(e.windowVisible);
    }
  }
}

struct ExpectedFace {
  uint32_t id;
  const char* className;
  const char* text;
  int left, top, width, height;
};

TEST_F(MainWindowTest, ControlsHaveTheirClassesPlacesAndTexts) {
  const ExpectedFace faces[] = {
      {0x1601002E, "Button", "最小到托盘", 320, 48, 72, 32},
      {0x1601002D, "VantorICO.Picture", "", 0, 32, 80, 48},
      {0x1601002C, "VantorICO.Label",
       "可直接拖放文件到本窗口进行提取·也可以点击预览文件选择文件进行提取", 8, 80, 408, 32},
      {0x16010029, "Button", "浏览文件", 336, 8, 56, 24},
      {0x1601001F, "Button", "使用说明", 80, 48, 72, 32},
      {0x1601000F, "Button", "关于", 240, 48, 72, 32},
      {0x1601000E, "Button", "提取图标", 160, 48, 72, 32},
      {0x16010007, "VantorICO.Label", "文件路径", 8, 8, 48, 24},
      {0x16010004, "Edit", "", 72, 8, 248, 24},
  };
  std::vector<HWND> stored_order;
  for (const ExpectedFace& f : faces) {
    SCOPED_TRACE(f.text);
    HWND h = Control(f.id);
    ASSERT_NE(h, nullptr);
    stored_order.push_back(h);
    EXPECT_EQ(GetParent(h), hwnd_);
    EXPECT_STRCASEEQ(ClassOf(h).c_str(), f.className);
    EXPECT_EQ(WindowText(h), f.text);
    RECT rc;
    GetWindowRect(h, &rc);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, f.left);
    EXPECT_EQ(rc.top, f.top);
    EXPECT_EQ(rc.right - rc.left, f.width);
    EXPECT_EQ(rc.bottom - rc.top, f.height);
    EXPECT_TRUE(IsWindowVisible(h));
  }
  // Z-order is the stored order: the first control on top.
  std::vector<HWND> z;
  for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) z.push_back(c);
  EXPECT_EQ(z, stored_order);
  // No faces for the dialog and the drop target.
  EXPECT_EQ(Control(0x1601002A), nullptr);
  EXPECT_EQ(Control(0x16010010), nullptr);
}

TEST_F(MainWindowTest, ButtonsEditAndLabelStylesAndFonts) {
  for (uint32_t id : {0x1601002Eu, 0x16010029u, 0x1601001Fu, 0x1601000Fu, 0x1601000Eu}) {
    const LONG style = GetWindowLongA(Control(id), GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(style & (BS_CENTER | BS_VCENTER | BS_MULTILINE),
              BS_CENTER | BS_VCENTER | BS_MULTILINE);
    EXPECT_TRUE(style & WS_TABSTOP);
  }
  EXPECT_FALSE(IsWindowEnabled(Control(0x1601000E)));
  EXPECT_TRUE(IsWindowEnabled(Control(0x1601000F)));

  HWND edit = Control(0x16010004);
  const LONG es = GetWindowLongA(edit, GWL_STYLE);
  EXPECT_TRUE(es & ES_READONLY);
  EXPECT_TRUE(es & ES_AUTOHSCROLL);
  EXPECT_FALSE(es & ES_NOHIDESEL);
  EXPECT_FALSE(es & ES_MULTILINE);
  EXPECT_TRUE(GetWindowLongA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

  LiveUnit* hint = FindWindowEntry(kMainWindowId)->live->FindUnit(0x1601002C);
  ASSERT_TRUE(hint->font);
  LOGFONTA lf = {};
  ASSERT_EQ(GetObjectA(hint->font.get(), sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfHeight, -12);
  EXPECT_EQ(lf.lfWeight, 400);
  EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
  EXPECT_STREQ(lf.lfFaceName, "宋体");
  EXPECT_FALSE(FindWindowEntry(kMainWindowId)->live->FindUnit(0x16010007)->font);
}

TEST_F(MainWindowTest, PathBoxCannotBeTypedInto) {
  HWND edit = Control(0x16010004);
  SetFocus(edit);
  SendMessageA(edit, WM_CHAR, 'a', 0);
  SendMessageA(edit, WM_PASTE, 0, 0);
  EXPECT_EQ(WindowText(edit), "");
  EXPECT_EQ(CountRaised(kHandlerOnPathChanged), 0);
}

TEST_F(MainWindowTest, PictureBoxDrawsTheLogoFittedAt48) {
  LiveUnit* pic = FindWindowEntry(kMainWindowId)->live->FindUnit(0x1601002D);
  ASSERT_TRUE(pic->picture);
  EXPECT_EQ(pic->pictureWidth, 100);
  EXPECT_EQ(pic->pictureHeight, 100);
  // Copy the painted box and look for the logo's pixels only inside (16,0)-(64,48).
  UpdateWindow(hwnd_);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 80, 48);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  HDC wdc = GetDC(pic->hwnd);
  BitBlt(dc, 0, 0, 80, 48, wdc, 0, 0, SRCCOPY);
  ReleaseDC(pic->hwnd, wdc);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(GetPixel(dc, 5, 24), face);
  EXPECT_EQ(GetPixel(dc, 75, 24), face);
  EXPECT_NE(GetPixel(dc, 40, 24), face);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

TEST_F(MainWindowTest, HiddenWindowIsNotReloadedNorShownByLoadWindow) {
  WriteUnitProperty(kMainWindowId, 0x06010000, 5, BoolSlot(false));
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  const ArgSlot loaded = CallCoreCommand(LoadWindow, 3, MainRef(), OmittedSlot(), BoolSlot(false));
  EXPECT_EQ(loaded.value, 1u);
  EXPECT_EQ(MainWindowHandle(), hwnd_);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_EQ(CountRaised(kHandlerOnWindowCreated), 1);
  WriteUnitProperty(kMainWindowId, 0x06010000, 5, BoolSlot(true));
  EXPECT_TRUE(IsWindowVisible(hwnd_));
}

TEST_F(MainWindowTest, LoadWindowRestoresAMinimisedWindow) {
  ShowWindow(hwnd_, SW_MINIMIZE);
  PumpMessages();
  ASSERT_TRUE(IsIconic(hwnd_));
  const ArgSlot loaded = CallCoreCommand(LoadWindow, 3, MainRef(), OmittedSlot(), BoolSlot(false));
  EXPECT_EQ(loaded.value, 1u);
  EXPECT_FALSE(IsIconic(hwnd_));
  EXPECT_EQ(CountRaised(kHandlerOnWindowCreated), 1);
}

TEST_F(MainWindowTest, LoadWindowRefusesAnUnknownWindowOrParent) {
  ArgSlot unknown{0x52019999, 0x06010000, kUnitTypeWindow};
  EXPECT_EQ(CallCoreCommand(LoadWindow, 3, unknown, OmittedSlot(), BoolSlot(false)).value, 0u);
  EXPECT_EQ(CallCoreCommand(LoadWindow, 3, MainRef(), unknown, BoolSlot(false)).value, 0u);
}

TEST_F(MainWindowTest, DeferredDestroyWaitsForTheMessageLoop) {
  CallCoreCommand(DestroyWindowUnit, 2, MainRef(), OmittedSlot());
  EXPECT_TRUE(IsWindow(hwnd_));
  EXPECT_NE(MainWindowHandle(), nullptr);
  SetMessageLoopEntered();
  PumpMessages();
  EXPECT_FALSE(IsWindow(hwnd_));
  EXPECT_EQ(MainWindowHandle(), nullptr);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(MainWindowTest, DestroyPutsTheLoadedLayoutBack) {
  WriteUnitProperty(kMainWindowId, 0x1601000E, 6, BoolSlot(false));
  EXPECT_TRUE(IsWindowEnabled(Control(0x1601000E)));
  CallCoreCommand(DestroyWindowUnit, 2, MainRef(), BoolSlot(true));
  PumpMessages();
  ASSERT_EQ(MainWindowHandle(), nullptr);
  EXPECT_EQ(ReadUnitProperty(kMainWindowId, 0x1601000E, 6).value, 1u);
  // Loaded again, it starts from the layout as it was.
  EXPECT_EQ(CallCoreCommand(LoadWindow, 3, MainRef(), OmittedSlot(), BoolSlot(false)).value, 1u);
  EXPECT_FALSE(IsWindowEnabled(Control(0x1601000E)));
  EXPECT_EQ(CountRaised(kHandlerOnWindowCreated), 2);
}

TEST_F(MainWindowTest, ButtonClickAndMenuCommandRaiseTheirEvents) {
  SendMessageA(Control(0x1601000F), BM_CLICK, 0, 0);
  EXPECT_EQ(CountRaised(kHandlerOnAboutClicked), 1);
  // Menu entries are numbered from 20000 in stored order: 文件, 打开程序, 退出程序.
  SendMessageA(hwnd_, WM_COMMAND, 20001, 0);
  EXPECT_EQ(CountRaised(kHandlerOnOpenChosen), 1);
  SendMessageA(hwnd_, WM_COMMAND, 20002, 0);
  EXPECT_EQ(CountRaised(kHandlerOnExitChosen), 1);
  SendMessageA(hwnd_, WM_COMMAND, 20003, 0);
  SendMessageA(hwnd_, WM_COMMAND, 20000, 0);
  EXPECT_EQ(RaisedEvents().size(), 4u);  // created + the three above
}

TEST_F(MainWindowTest, CloseBoxDestroysTheWindow) {
  SetMessageLoopEntered();
  SendMessageA(hwnd_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd_));
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace vantorico
