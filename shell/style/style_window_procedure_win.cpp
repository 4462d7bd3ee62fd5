#include "shell/style/action_word.h"
#include "shell/style/painters_win.h"
#include "shell/style/style_attach_win.h"
#include "shell/style/style_constants.h"
#include "shell/style/styled_control.h"
#include "shell/style/visual_style.h"

namespace vantorico::style {

// The portable copies of the messages the rules classify.
static_assert(kWmCreate == WM_CREATE && kWmDestroy == WM_DESTROY && kWmSetFocus == WM_SETFOCUS &&
              kWmKillFocus == WM_KILLFOCUS && kWmEnable == WM_ENABLE && kWmSetText == WM_SETTEXT &&
              kWmPaint == WM_PAINT && kWmEraseBkgnd == WM_ERASEBKGND && kWmNcPaint == WM_NCPAINT &&
              kWmNcMouseMove == WM_NCMOUSEMOVE && kWmHScroll == WM_HSCROLL &&
              kWmVScroll == WM_VSCROLL && kWmMouseMove == WM_MOUSEMOVE &&
              kWmLButtonDown == WM_LBUTTONDOWN && kWmLButtonUp == WM_LBUTTONUP &&
              kWmMouseLeave == WM_MOUSELEAVE);
static_assert(kEmSetReadOnly == EM_SETREADONLY && kBmSetCheck == BM_SETCHECK &&
              kBmSetState == BM_SETSTATE && kBmSetStyle == BM_SETSTYLE);
static_assert(kMkLButton == MK_LBUTTON);
namespace {

WNDPROC PreviousOf(const StyledControl& c) {
  return reinterpret_cast<WNDPROC>(c.previousProcedure);
}

// The parent's WM_CTLCOLORBTN answer for the erase DC: brush, its colour, text colour.
void CaptureColours(HWND hwnd, HDC dc) {
  const HWND parent = GetParent(hwnd);
  if (!parent || !dc) return;
  const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
      parent, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  StyledControl* record = FindStyledControl(hwnd);  // the parent may have detached it
  if (!record) return;
  record->backBrush = brush;
  LOGBRUSH logical{};
  if (brush && GetObjectA(brush, sizeof logical, &logical)) record->backColour = logical.lbColor;
  record->textColour = GetTextColor(dc);
}

void TrackLeave(HWND hwnd) {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = hwnd;
  TrackMouseEvent(&track);
}

// A painter that throws leaves the control partly drawn; the message goes on.
void GuardedPaint(HWND hwnd) {
  try {
    if (const StyledControl* record = FindStyledControl(hwnd)) {
      PaintStyledControl(*record, CurrentScheme());
    }
  } catch (...) {
  }
}

}  // namespace

LRESULT CALLBACK StyleWindowProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  StyledControl* record = FindStyledControl(hwnd);
  if (!record) return 0;
  const WNDPROC previous = PreviousOf(*record);
  const ControlKind kind = record->kind;

  switch (RouteMessage(kind, message)) {
    case MessageRoute::kPassThrough:
      return CallWindowProcA(previous, hwnd, message, wparam, lparam);
    case MessageRoute::kDetachAfter: {
      const LRESULT result = CallWindowProcA(previous, hwnd, message, wparam, lparam);
      DetachWindow(hwnd);
      return result;
    }
    case MessageRoute::kCaptureThenDecide:
      CaptureColours(hwnd, reinterpret_cast<HDC>(wparam));
      record = FindStyledControl(hwnd);
      if (!record) return CallWindowProcA(previous, hwnd, message, wparam, lparam);
      break;
    case MessageRoute::kDecide:
      break;
  }

  RECT client{};
  GetClientRect(hwnd, &client);
  const StyleDecision d =
      DecideActions(kind, record->state,
                    {message, static_cast<uint32_t>(wparam), static_cast<uint32_t>(lparam),
                     static_cast<int>(client.right), static_cast<int>(client.bottom)});
  record->state = d.state;
  if (d.trackMouseLeave) TrackLeave(hwnd);

  const uint32_t word = d.actionWord;
  LRESULT result = 0;
  if (word & kActionPreviousBefore)
    result = CallWindowProcA(previous, hwnd, message, wparam, lparam);
  if (word & kActionDefaultBefore) result = DefWindowProcA(hwnd, message, wparam, lparam);
  if (word & kActionPaint) GuardedPaint(hwnd);
  if (word & kActionPreviousAfter)
    result = CallWindowProcA(previous, hwnd, message, wparam, lparam);
  if (word & kActionDefaultAfter) result = DefWindowProcA(hwnd, message, wparam, lparam);
  if (ReturnsFixedValue(word)) result = static_cast<LRESULT>(FixedValue(word));
  return result;
}

}  // namespace vantorico::style
