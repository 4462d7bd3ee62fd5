#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "base/win_handles.h"
#include "runtime/core/command_call.h"
#include "shell/style/style_attach_win.h"
#include "shell/style/style_constants.h"
#include "shell/style/styled_control.h"
#include "shell/style/visual_style.h"
#include "tests/support/dialog_watcher_win.h"

namespace vantorico::style {
namespace {

constexpr COLORREF kParentBack = RGB(10, 200, 30);
constexpr COLORREF kParentText = RGB(90, 20, 160);
constexpr char kHostClass[] = "StyleTestHost";

HBRUSH ParentBrush() {
  static UniqueBrush brush(CreateSolidBrush(kParentBack));
  return brush.get();
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CTLCOLORBTN) {
    SetTextColor(reinterpret_cast<HDC>(wparam), kParentText);
    return reinterpret_cast<LRESULT>(ParentBrush());
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

int SetStyle(int scheme) {
  return SlotInt(CallCoreCommand(SetVisualStyle, 1, IntSlot(scheme)));
}

WNDPROC ProcedureOf(HWND hwnd) {
  return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
}

const WNDPROC kStyleProcedure = StyleWindowProcedure;

class VisualStyleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kHostClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassA(&wc);
    host_ = CreateWindowExA(0, kHostClass, "host", WS_OVERLAPPEDWINDOW, 10, 10, 400, 260, nullptr,
                            nullptr, wc.hInstance, nullptr);
    ASSERT_NE(host_, nullptr);
    button_ = Child("Button", "确定", WS_TABSTOP | BS_PUSHBUTTON, 10, 10, 75, 23);
    default_ = Child("Button", "取消", WS_TABSTOP | BS_DEFPUSHBUTTON, 90, 10, 75, 23);
    check_ = Child("Button", "选项", BS_AUTOCHECKBOX, 10, 40, 100, 20);
    edit_ = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "", WS_CHILD | WS_VISIBLE | ES_READONLY, 10,
                            70, 200, 21, host_, nullptr, nullptr, nullptr);
    static_ = Child("Static", "文字", 0, 10, 100, 100, 20);
    list_ = Child("ListBox", "", WS_BORDER, 220, 10, 100, 80);
    owner_drawn_ = Child("Button", "画", BS_OWNERDRAW, 220, 100, 75, 23);
    button_procedure_ = ProcedureOf(button_);
  }

  void TearDown() override {
    SetStyle(0);
    DestroyWindow(host_);
    UnregisterClassA(kHostClass, GetModuleHandleA(nullptr));
  }

  HWND Child(const char* cls, const char* text, DWORD style, int x, int y, int w, int h) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, host_, nullptr,
                           nullptr, nullptr);
  }

  HWND host_ = nullptr;
  HWND button_ = nullptr, default_ = nullptr, check_ = nullptr, edit_ = nullptr;
  HWND static_ = nullptr, list_ = nullptr, owner_drawn_ = nullptr;
  WNDPROC button_procedure_ = nullptr;
};

TEST_F(VisualStyleTest, SwitchOnAttachesEligibleControlsAndOffDetachesAll) {
  const int before = StyledControlCount();
  EXPECT_EQ(SetStyle(1), 1);
  EXPECT_EQ(CurrentScheme(), 1);
  for (HWND attached : {button_, default_, check_, edit_}) {
    ASSERT_NE(FindStyledControl(attached), nullptr);
    EXPECT_EQ(ProcedureOf(attached), kStyleProcedure);
  }
  for (HWND left_alone : {host_, static_, list_, owner_drawn_}) {
    EXPECT_EQ(FindStyledControl(left_alone), nullptr);
    EXPECT_NE(ProcedureOf(left_alone), kStyleProcedure);
  }
  EXPECT_EQ(FindStyledControl(button_)->kind, kKindPushButton);
  EXPECT_EQ(FindStyledControl(check_)->kind, kKindCheckBox);
  EXPECT_EQ(FindStyledControl(default_)->state & kStateDefault, kStateDefault);
  EXPECT_EQ(FindStyledControl(button_)->state & kStateDefault, 0u);
  EXPECT_EQ(FindStyledControl(edit_)->state & kStateReadOnly, kStateReadOnly);

  EXPECT_NE(SetStyle(0), 0);
  EXPECT_EQ(StyledControlCount(), before > 0 ? before : 0);
  EXPECT_EQ(FindStyledControl(button_), nullptr);
  EXPECT_EQ(ProcedureOf(button_), button_procedure_);
  EXPECT_EQ(SetStyle(0), 0);  // already off
  EXPECT_EQ(CurrentScheme(), 0);
}

TEST_F(VisualStyleTest, AnotherSchemeReattachesOnce) {
  ASSERT_EQ(SetStyle(1), 1);
  const int count = StyledControlCount();
  EXPECT_EQ(SetStyle(2), 1);
  EXPECT_EQ(CurrentScheme(), 2);
  EXPECT_EQ(StyledControlCount(), count);
  EXPECT_NE(FindStyledControl(button_), nullptr);
  EXPECT_EQ(SetStyle(7), 1);  // out of range: off, the hook's removal succeeded
  EXPECT_EQ(StyledControlCount(), 0);
}

TEST_F(VisualStyleTest, WindowProcedureKeepsTheState) {
  ASSERT_EQ(SetStyle(1), 1);
  StyledControl* record = FindStyledControl(button_);
  ASSERT_NE(record, nullptr);
  SendMessageA(button_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(record->state & kStateHot, kStateHot);
  SendMessageA(button_, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(record->state & kStateHot, 0u);
  SendMessageA(button_, BM_SETSTATE, TRUE, 0);
  EXPECT_EQ(record->state & kStatePressed, kStatePressed);
  SendMessageA(button_, BM_SETSTATE, FALSE, 0);
  EXPECT_EQ(record->state & kStatePressed, 0u);
  EnableWindow(button_, FALSE);
  EXPECT_EQ(record->state & kStateDisabled, kStateDisabled);
  EnableWindow(button_, TRUE);
  EXPECT_EQ(record->state & kStateDisabled, 0u);
  SendMessageA(check_, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(FindStyledControl(check_)->state & kStateChecked, kStateChecked);
  EXPECT_EQ(SendMessageA(check_, BM_GETCHECK, 0, 0), BST_CHECKED);  // the control's own too
}

TEST_F(VisualStyleTest, EraseCapturesTheParentsColours) {
  ASSERT_EQ(SetStyle(1), 1);
  WindowDc dc(button_);
  SendMessageA(button_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
  const StyledControl* record = FindStyledControl(button_);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->backBrush, ParentBrush());
  EXPECT_EQ(record->backColour, kParentBack);
  EXPECT_EQ(record->textColour, kParentText);
}

TEST_F(VisualStyleTest, ReadOnlyLaterKeepsTheAttachedLook) {
  HWND editable = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "", WS_CHILD | WS_VISIBLE, 10, 130, 200,
                                  21, host_, nullptr, nullptr, nullptr);
  ASSERT_EQ(SetStyle(1), 1);
  SendMessageA(editable, EM_SETREADONLY, TRUE, 0);
  EXPECT_NE(GetWindowLongA(editable, GWL_STYLE) & ES_READONLY, 0);
  ASSERT_NE(FindStyledControl(editable), nullptr);
  EXPECT_EQ(FindStyledControl(editable)->state & kStateReadOnly, 0u);
}

TEST_F(VisualStyleTest, UpDownBuddyAndErase) {
  INITCOMMONCONTROLSEX init{sizeof init, ICC_UPDOWN_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&init));
  HWND buddy = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "1", WS_CHILD | WS_VISIBLE, 10, 160, 80,
                               21, host_, nullptr, nullptr, nullptr);
  HWND up_down =
      CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_AUTOBUDDY,
                      0, 0, 0, 0, host_, nullptr, nullptr, nullptr);
  ASSERT_NE(up_down, nullptr);
  ASSERT_EQ(reinterpret_cast<HWND>(SendMessageA(up_down, UDM_GETBUDDY, 0, 0)), buddy);
  ASSERT_EQ(SetStyle(1), 1);
  ASSERT_NE(FindStyledControl(up_down), nullptr);
  EXPECT_EQ(FindStyledControl(up_down)->kind, kKindUpDown);
  EXPECT_EQ(FindStyledControl(up_down)->state & kStateAlignedRight, kStateAlignedRight);
  EXPECT_EQ(FindStyledControl(buddy)->state & kStateBuddyRight, kStateBuddyRight);
  WindowDc dc(up_down);
  EXPECT_EQ(SendMessageA(up_down, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0), 1);
}

// What the screen shows at a button's border, read back from the window.
COLORREF ScreenPixel(HWND hwnd, int x, int y) {
  WindowDc dc(hwnd);
  return GetPixel(dc.get(), x, y);
}

void Flush(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

TEST_F(VisualStyleTest, ShownButtonsRepaintInTheSchemeAndBackToClassic) {
  ShowWindow(host_, SW_SHOWNOACTIVATE);
  Flush(host_);
  const COLORREF classic = ScreenPixel(button_, 37, 1);
  ASSERT_EQ(SetStyle(1), 1);
  Flush(host_);
  EXPECT_EQ(ScreenPixel(button_, 37, 1), RGB(0, 60, 115));
  EXPECT_EQ(ScreenPixel(button_, 1, 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ScreenPixel(button_, 3, 2), RGB(255, 255, 255));
  ASSERT_EQ(SetStyle(2), 1);
  Flush(host_);
  EXPECT_EQ(ScreenPixel(button_, 37, 1), RGB(55, 98, 6));
  SendMessageA(button_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(ScreenPixel(button_, 3, 2), RGB(255, 240, 207));
  SendMessageA(button_, WM_MOUSELEAVE, 0, 0);
  ASSERT_NE(SetStyle(0), 0);
  Flush(host_);
  EXPECT_EQ(ScreenPixel(button_, 37, 1), classic);
  EXPECT_NE(ScreenPixel(button_, 37, 1), RGB(55, 98, 6));
}

TEST_F(VisualStyleTest, ShownReadOnlyEditGetsTheSchemeFrames) {
  ShowWindow(host_, SW_SHOWNOACTIVATE);
  ASSERT_EQ(SetStyle(1), 1);
  Flush(host_);
  WindowDc dc(edit_, true);
  EXPECT_EQ(GetPixel(dc.get(), 0, 0), RGB(123, 158, 189));
  EXPECT_EQ(GetPixel(dc.get(), 100, 20), RGB(123, 158, 189));
  EXPECT_EQ(GetPixel(dc.get(), 1, 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetPixel(dc.get(), 100, 19), GetSysColor(COLOR_BTNFACE));
}

// A thread-local class named "Button" shows what the control sees at its own WM_CREATE.
struct CreationSeen {
  bool hadRecord = false;
  bool hadStyleProcedure = false;
  int creates = 0;
};
CreationSeen g_seen;

LRESULT CALLBACK ProbeButtonProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CREATE) {
    ++g_seen.creates;
    g_seen.hadRecord = FindStyledControl(hwnd) != nullptr;
    g_seen.hadStyleProcedure = ProcedureOf(hwnd) == kStyleProcedure;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

TEST_F(VisualStyleTest, ControlCreatedLaterIsAttachedBeforeItsCreateAndDetachedAtDestroy) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ProbeButtonProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "Button";
  ASSERT_NE(RegisterClassA(&wc), 0);
  ASSERT_EQ(SetStyle(1), 1);
  g_seen = {};
  HWND later = CreateWindowExA(0, "Button", "后来", WS_CHILD | WS_VISIBLE, 10, 190, 75, 23, host_,
                               nullptr, wc.hInstance, nullptr);
  ASSERT_NE(later, nullptr);
  EXPECT_EQ(g_seen.creates, 1);
  EXPECT_TRUE(g_seen.hadRecord);
  EXPECT_TRUE(g_seen.hadStyleProcedure);
  DestroyWindow(later);
  EXPECT_EQ(FindStyledControl(later), nullptr);
  UnregisterClassA("Button", wc.hInstance);

  // With the style off nothing is attached at creation.
  SetStyle(0);
  HWND plain = Child("Button", "普通", BS_PUSHBUTTON, 100, 190, 75, 23);
  EXPECT_EQ(FindStyledControl(plain), nullptr);
}

TEST_F(VisualStyleTest, MessageBoxButtonsAreAttachedItsTextIsNot) {
  ASSERT_EQ(SetStyle(1), 1);
  const int before = StyledControlCount();
  testing_support::DialogWatcher watcher;
  int buttons_with_text = 0, attached_buttons = 0, attached_statics = 0, statics = 0;
  watcher.OnDialog([&](HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char cls[64] = {};
      GetClassNameA(child, cls, sizeof cls);
      if (lstrcmpiA(cls, "Button") == 0 && GetWindowTextLengthA(child) > 0) {
        ++buttons_with_text;
        attached_buttons += FindStyledControl(child) != nullptr;
      }
      if (lstrcmpiA(cls, "Static") == 0) {
        ++statics;
        attached_statics += FindStyledControl(child) != nullptr;
      }
    }
  });
  MessageBoxA(host_, "提取完成", "信息：", MB_OK);
  ASSERT_EQ(watcher.seen().size(), 1u);
  EXPECT_GT(buttons_with_text, 0);
  EXPECT_EQ(attached_buttons, buttons_with_text);
  EXPECT_GT(statics, 0);
  EXPECT_EQ(attached_statics, 0);
  EXPECT_EQ(StyledControlCount(), before);  // the box's records went with its buttons
}

}  // namespace
}  // namespace vantorico::style
