// The tray popup under Wine: the window sees the menu open (WM_INITMENUPOPUP),
// the test reads its items, place and the foreground, then closes the menu or
// picks an item with the keyboard from the menu's idle message.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/tray/tray_constants.h"
#include "shell/tray/tray_popup_win.h"

namespace vantorico {
namespace {

struct SeenItem {
  std::string caption;
  UINT id;
  UINT state;
  bool subMenu;
};

struct PopupWatch {
  bool pick = false;  // choose the first item instead of closing the menu
  int opened = 0;
  std::vector<SeenItem> items;
  RECT menuRect{};
  HWND foreground = nullptr;
  std::vector<UINT> commands;
};
PopupWatch g_watch;

std::vector<SeenItem> ReadItems(HMENU menu) {
  std::vector<SeenItem> items;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char caption[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), caption, sizeof caption, MF_BYPOSITION);
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    HMENU sub = GetSubMenu(menu, i);
    items.push_back(SeenItem{caption, sub ? 0u : GetMenuItemID(menu, i),
                             state & (MF_GRAYED | MF_CHECKED | MF_SEPARATOR), sub != nullptr});
  }
  return items;
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITMENUPOPUP:
      if (g_watch.opened++ == 0) g_watch.items = ReadItems(reinterpret_cast<HMENU>(wparam));
      break;
    case WM_ENTERIDLE:
      if (wparam == MSGF_MENU && g_watch.opened == 1) {
        ++g_watch.opened;
        HWND menuWindow = reinterpret_cast<HWND>(lparam);
        GetWindowRect(menuWindow, &g_watch.menuRect);
        g_watch.foreground = GetForegroundWindow();
        if (g_watch.pick) {
          PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
          PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
        } else {
          EndMenu();
        }
      }
      break;
    case WM_COMMAND:
      g_watch.commands.push_back(LOWORD(wparam));
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

class TrayPopupTest : public testing::Test {
 protected:
  void SetUp() override {
    g_watch = PopupWatch();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VantoricoPopupTestWindow";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, wc.lpszClassName, "popup", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                              10, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    SetCursorPos(kCursorX, kCursorY);
    // Start from an empty queue, so that a WM_NULL seen later is the popup's.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  void TearDown() override { DestroyWindow(window_); }

  // Whether a WM_NULL is waiting for the window (taken off the queue).
  bool TakeNull() {
    MSG msg;
    return PeekMessageA(&msg, window_, WM_NULL, WM_NULL, PM_REMOVE) != FALSE;
  }

  static constexpr int kCursorX = 600;
  static constexpr int kCursorY = 400;
  HWND window_ = nullptr;
  const std::vector<MenuEntryDescription> toolMenu_ = {
      {"文件", 0, kMenuHidden}, {"打开程序", 1, 0}, {"退出程序", 1, 0}};
};

TEST_F(TrayPopupTest, ToolsMenuItemsPlaceAndClose) {
  EXPECT_TRUE(PopupTrayMenu(window_, toolMenu_, 0));
  ASSERT_EQ(g_watch.items.size(), 2u);
  EXPECT_EQ(g_watch.items[0].caption, "打开程序");
  EXPECT_EQ(g_watch.items[0].id, 20001u);
  EXPECT_EQ(g_watch.items[1].caption, "退出程序");
  EXPECT_EQ(g_watch.items[1].id, 20002u);
  EXPECT_EQ(g_watch.items[0].state, 0u);
  // Top-right corner 5 pixels up and left of the cursor.
  EXPECT_EQ(g_watch.menuRect.right, kCursorX - 5);
  EXPECT_EQ(g_watch.menuRect.top, kCursorY - 5);
  EXPECT_EQ(g_watch.foreground, window_);
  EXPECT_TRUE(g_watch.commands.empty());
  EXPECT_TRUE(TakeNull());
}

TEST_F(TrayPopupTest, ChoosingAnItemSendsItsCommand) {
  g_watch.pick = true;
  EXPECT_TRUE(PopupTrayMenu(window_, toolMenu_, 0));
  MSG msg;
  while (PeekMessageA(&msg, window_, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_EQ(g_watch.commands, std::vector<UINT>{20001});
}

TEST_F(TrayPopupTest, NoPopupWithoutSubEntries) {
  EXPECT_FALSE(PopupTrayMenu(window_, toolMenu_, 1));
  EXPECT_FALSE(PopupTrayMenu(window_, toolMenu_, 2));  // the last entry
  EXPECT_FALSE(PopupTrayMenu(window_, toolMenu_, 5));
  EXPECT_FALSE(PopupTrayMenu(window_, {}, 0));
  EXPECT_EQ(g_watch.opened, 0);
  EXPECT_FALSE(TakeNull());
}

TEST_F(TrayPopupTest, NestedFlagsAndSeparators) {
  const std::vector<MenuEntryDescription> entries = {{"根", 0, 0},
                                                     {"勾选", 1, kMenuChecked},
                                                     {"-", 1, 0},
                                                     {"灰色", 1, kMenuDisabled},
                                                     {"隐藏", 1, kMenuHidden},
                                                     {"子", 1, 0},
                                                     {"孙", 2, 0},
                                                     {"末", 0, 0}};
  EXPECT_TRUE(PopupTrayMenu(window_, entries, 0));
  ASSERT_EQ(g_watch.items.size(), 4u);
  EXPECT_EQ(g_watch.items[0].caption, "勾选");
  EXPECT_EQ(g_watch.items[0].state, static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(g_watch.items[1].state & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(g_watch.items[2].caption, "灰色");
  EXPECT_EQ(g_watch.items[2].id, 20003u);
  EXPECT_EQ(g_watch.items[2].state, static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(g_watch.items[3].caption, "子");
  EXPECT_TRUE(g_watch.items[3].subMenu);
}

}  // namespace
}  // namespace vantorico
