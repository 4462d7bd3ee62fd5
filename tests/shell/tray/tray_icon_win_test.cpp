// The tray icon of a real window under Wine's shell: every Shell_NotifyIconA
// call is recorded on its way to the real one, and the shell itself is asked
// whether the icon exists.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "shell/tray/make_icon_win.h"
#include "shell/tray/tray_icon_win.h"
#include "tests/shell/tray/ico_bytes.h"

namespace vantorico {
namespace {

using testing_support::IcoImageSpec;
using testing_support::MakeIcoFile;

struct NotifyCall {
  DWORD message;
  DWORD cbSize;
  HWND hwnd;
  UINT id;
  UINT flags;
  UINT callbackMessage;
  HICON icon;
  std::string tip;
  BOOL result;
};
std::vector<NotifyCall> g_calls;

BOOL WINAPI RecordingNotify(DWORD message, PNOTIFYICONDATAA data) {
  const BOOL result = Shell_NotifyIconA(message, data);
  g_calls.push_back(NotifyCall{message, data->cbSize, data->hWnd, data->uID, data->uFlags,
                               data->uCallbackMessage, data->hIcon,
                               std::string(data->szTip, strnlen(data->szTip, 64)), result});
  return result;
}

// Whether the shell knows the window's icon: it accepts a change only then.
bool ShellHasIcon(HWND window) {
  NOTIFYICONDATAA probe = {};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = window;
  probe.uID = TrayIconId;
  probe.uFlags = NIF_TIP;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

bool IsLiveIcon(HICON icon) {
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return false;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return true;
}

int IconWidth(HICON icon) {
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return -1;
  BITMAP bm = {};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return bm.bmWidth;
}

// The window side a framework gives the tray icon: every message passes the
// TrayIcon first; WM_DESTROY ends with its removal.
TrayIcon* g_tray = nullptr;
std::vector<int32_t> g_events;

LRESULT CALLBACK TrayWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  int32_t action = 0;
  if (g_tray && g_tray->HandleMessage(message, wparam, lparam, &action)) g_events.push_back(action);
  if (message == WM_DESTROY && g_tray) g_tray->OnWindowDestroyed();
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

class TrayIconTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TrayWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VantoricoTrayTestWindow";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, wc.lpszClassName, "tray", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                              nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    tray_ = std::make_unique<TrayIcon>(window_, RecordingNotify);
    g_tray = tray_.get();
    g_calls.clear();
    g_events.clear();
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
    g_tray = nullptr;
    tray_.reset();
  }

  HWND window_ = nullptr;
  std::unique_ptr<TrayIcon> tray_;
  const std::vector<uint8_t> small_ = MakeIcoFile({{32, 16, 4, 32}, {16, 16, 4, 16}});
};

TEST_F(TrayIconTest, AddModifyDeleteByTheStateTable) {
  // Unusable data with no icon: nothing is called.
  const uint8_t junk[] = {1, 2, 3, 4, 5, 6, 7};
  tray_->SetFromBytes(junk, sizeof junk, nullptr);
  EXPECT_TRUE(g_calls.empty());
  EXPECT_FALSE(tray_->shown());

  tray_->SetFromBytes(small_.data(), static_cast<int32_t>(small_.size()), nullptr);
  ASSERT_EQ(g_calls.size(), 1u);
  const NotifyCall& add = g_calls[0];
  EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
  // The record's first form: 88 bytes on 32-bit Windows, the same fields with
  // 64-bit handles on 64-bit Windows.
  EXPECT_EQ(add.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
  if (sizeof(void*) == 4) {
    EXPECT_EQ(add.cbSize, 88u);
  }
  EXPECT_EQ(add.hwnd, window_);
  EXPECT_EQ(add.id, 100u);
  EXPECT_EQ(add.flags, 7u);
  EXPECT_EQ(add.callbackMessage, 0x8064u);
  EXPECT_EQ(add.icon, tray_->icon());
  EXPECT_EQ(add.tip, "");
  EXPECT_TRUE(add.result);
  EXPECT_EQ(IconWidth(tray_->icon()), 16);
  EXPECT_TRUE(ShellHasIcon(window_));

  // The same data again modifies, and the first handle is destroyed.
  const HICON first = tray_->icon();
  tray_->SetFromBytes(small_.data(), static_cast<int32_t>(small_.size()), "图标提取工具");
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[1].message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(g_calls[1].flags, 7u);
  EXPECT_EQ(g_calls[1].icon, tray_->icon());
  EXPECT_EQ(g_calls[1].tip, "图标提取工具");
  EXPECT_TRUE(g_calls[1].result);
  EXPECT_NE(tray_->icon(), first);
  EXPECT_FALSE(IsLiveIcon(first));

  // Unusable data removes it.
  const HICON second = tray_->icon();
  tray_->SetFromBytes(nullptr, 0, nullptr);
  ASSERT_EQ(g_calls.size(), 3u);
  EXPECT_EQ(g_calls[2].message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_EQ(g_calls[2].flags, 0u);
  EXPECT_TRUE(g_calls[2].result);
  EXPECT_FALSE(tray_->shown());
  EXPECT_FALSE(IsLiveIcon(second));
  EXPECT_FALSE(ShellHasIcon(window_));
}

TEST_F(TrayIconTest, TooltipIsCutAfter62Bytes) {
  const std::string tip(70, 'T');
  tray_->SetFromBytes(small_.data(), static_cast<int32_t>(small_.size()), tip.c_str());
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].tip, std::string(62, 'T'));
}

TEST_F(TrayIconTest, RemovedAtDestroy) {
  tray_->SetFromBytes(small_.data(), static_cast<int32_t>(small_.size()), nullptr);
  const HICON icon = tray_->icon();
  ASSERT_TRUE(ShellHasIcon(window_));
  DestroyWindow(window_);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[1].message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_EQ(g_calls[1].hwnd, window_);
  EXPECT_FALSE(tray_->shown());
  EXPECT_FALSE(IsLiveIcon(icon));
  EXPECT_FALSE(ShellHasIcon(window_));
}

TEST_F(TrayIconTest, TaskbarCreatedAddsTheCurrentIconAgain) {
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  EXPECT_EQ(TrayIcon::TaskbarCreatedMessage(), taskbarCreated);
  // Without an icon there is nothing to restore.
  SendMessageA(window_, taskbarCreated, 0, 0);
  EXPECT_TRUE(g_calls.empty());

  tray_->SetFromBytes(small_.data(), static_cast<int32_t>(small_.size()), "提示");
  // The shell lost its icons (as a restarted shell has none).
  NOTIFYICONDATAA gone = {};
  gone.cbSize = NOTIFYICONDATAA_V1_SIZE;
  gone.hWnd = window_;
  gone.uID = TrayIconId;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &gone));
  ASSERT_FALSE(ShellHasIcon(window_));

  SendMessageA(window_, taskbarCreated, 0, 0);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[1].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(g_calls[1].flags, 7u);
  EXPECT_EQ(g_calls[1].icon, tray_->icon());
  EXPECT_EQ(g_calls[1].tip, "提示");
  EXPECT_TRUE(g_calls[1].result);
  EXPECT_TRUE(ShellHasIcon(window_));
  EXPECT_TRUE(g_events.empty());
}

TEST_F(TrayIconTest, CallbackMessagesBecomeTrayActions) {
  struct Case {
    LPARAM mouse;
    std::vector<int32_t> events;
  };
  const Case cases[] = {
      {WM_LBUTTONUP, {1}},   {WM_LBUTTONDBLCLK, {2}}, {WM_RBUTTONUP, {3}},
      {WM_CONTEXTMENU, {3}}, {WM_MOUSEMOVE, {}},      {WM_LBUTTONDOWN, {}},
      {WM_RBUTTONDOWN, {}},  {WM_MBUTTONUP, {}},      {WM_RBUTTONDBLCLK, {}},
  };
  for (const Case& c : cases) {
    g_events.clear();
    SendMessageA(window_, 0x8064, 100, c.mouse);
    EXPECT_EQ(g_events, c.events) << std::hex << c.mouse;
  }
  // Posted the way the shell sends them; the icon id is not looked at.
  g_events.clear();
  for (LPARAM m : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    PostMessageA(window_, 0x8064, 7, m);
  MSG msg;
  while (PeekMessageA(&msg, window_, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_EQ(g_events, (std::vector<int32_t>{1, 2, 1}));
}

TEST_F(TrayIconTest, IconFromAFile) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string path = std::string(temp) + "托盘.ico";
  {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, small_.data(), static_cast<DWORD>(small_.size()), &written, nullptr);
    CloseHandle(file);
  }
  // No file, no path, an empty file or a folder: no bytes, so no icon.
  const std::string empty = std::string(temp) + "空.ico";
  CloseHandle(CreateFileA(empty.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  for (const std::string& none : {path + ".none", std::string(), empty, std::string(temp)}) {
    tray_->SetFromFile(none.c_str(), nullptr);
  }
  tray_->SetFromFile(nullptr, nullptr);
  EXPECT_TRUE(g_calls.empty());
  EXPECT_FALSE(tray_->shown());
  DeleteFileA(empty.c_str());

  tray_->SetFromFile(path.c_str(), nullptr);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_TRUE(tray_->shown());
  EXPECT_EQ(IconWidth(tray_->icon()), 16);
  DeleteFileA(path.c_str());
}

TEST(MakeIconFromIcoBytes, ChoiceSizesAndFailures) {
  struct Case {
    const char* name;
    std::vector<IcoImageSpec> images;
    bool preferLarge;
    int width;
  };
  const Case cases[] = {
      {"16x16 16 colours preferred", {{32, 16, 4, 32}, {16, 16, 4, 16}}, false, 16},
      {"32x32 when large", {{32, 16, 4, 32}, {16, 16, 4, 16}}, true, 32},
      {"the tool's 128x128 32-bit, colour count 0", {{0, 0, 32, 128}}, false, 128},
      {"no qualifying entry: the last", {{16, 0, 32, 16}, {48, 0, 32, 48}}, false, 48},
      {"8-bit palette", {{16, 0, 8, 16}}, false, 16},
  };
  for (const Case& c : cases) {
    const auto file = MakeIcoFile(c.images);
    UniqueIcon icon =
        MakeIconFromIcoBytes(file.data(), static_cast<int32_t>(file.size()), c.preferLarge);
    ASSERT_TRUE(icon) << c.name;
    EXPECT_EQ(IconWidth(icon.get()), c.width) << c.name;
  }
  const auto file = MakeIcoFile({{16, 16, 4, 16}});
  EXPECT_FALSE(MakeIconFromIcoBytes(nullptr, 10, false));
  EXPECT_FALSE(MakeIconFromIcoBytes(file.data(), 0, false));
  EXPECT_FALSE(MakeIconFromIcoBytes(file.data(), -1, false));
  EXPECT_FALSE(MakeIconFromIcoBytes(file.data(), static_cast<int32_t>(file.size()) - 1, false));
  // An image both creation calls refuse.
  auto broken = file;
  for (size_t i = 22; i < broken.size(); ++i) broken[i] = 0;
  EXPECT_FALSE(MakeIconFromIcoBytes(broken.data(), static_cast<int32_t>(broken.size()), false));
}

}  // namespace
}  // namespace vantorico
