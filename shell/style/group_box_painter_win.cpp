#include "base/win_handles.h"
#include "shell/style/gdi_drawing_win.h"
#include "shell/style/painters_win.h"
#include "shell/style/style_constants.h"

namespace vantorico::style {
namespace {

constexpr int kCornerDiameter = 5;
constexpr int kCaptionIndent = 8;
constexpr int kCaptionPadding = 2;

}  // namespace

void DrawGroupBox(HDC dc, const PaintInput& in) {
  SelectedObject font(dc,
                      in.font ? static_cast<HGDIOBJ>(in.font) : GetStockObject(DEFAULT_GUI_FONT));
  SIZE letter{};
  GetTextExtentPoint32A(dc, "a", 1, &letter);
  const int line_y = letter.cy / 2;

  UniquePen pen(CreatePen(PS_SOLID, 1, kGroupFrame));
  SelectedObject selected_pen(dc, pen.get());
  SelectedObject hollow(dc, GetStockObject(HOLLOW_BRUSH));
  RoundRect(dc, 0, line_y, in.width, in.height, kCornerDiameter, kCornerDiameter);

  if (in.caption.empty()) return;
  RECT text{kCaptionIndent, 0, in.width - kCaptionIndent, letter.cy};
  DrawTextA(dc, in.caption.c_str(), -1, &text, DT_SINGLELINE | DT_CALCRECT);
  RECT behind{text.left - kCaptionPadding, text.top, text.right + kCaptionPadding, text.bottom};
  if (in.backBrush) {
    FillRect(dc, &behind, in.backBrush);
  } else {
    FillColour(dc, behind, GetSysColor(COLOR_BTNFACE));
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, (in.state & kStateDisabled) ? GetSysColor(COLOR_GRAYTEXT) : in.textColour);
  DrawTextA(dc, in.caption.c_str(), -1, &text, DT_SINGLELINE);
}

}  // namespace vantorico::style
