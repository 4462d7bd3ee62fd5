#include "base/win_handles.h"
#include "shell/style/alignment_code.h"
#include "shell/style/caption_drawing_win.h"
#include "shell/style/gdi_drawing_win.h"
#include "shell/style/painters_win.h"
#include "shell/style/push_button_look.h"
#include "shell/style/style_constants.h"

namespace vantorico::style {

void DrawPushButton(HDC dc, const PaintInput& in) {
  const int w = in.width;
  const int h = in.height;
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const PushButtonLook look = DecidePushButtonLook(in.state, in.scheme, face);

  const RECT client{0, 0, w, h};
  if (in.backBrush) FillRect(dc, &client, in.backBrush);
  FrameColour(dc, client, face);
  const RECT border = Shrunk(client, 1);
  FrameColour(dc, border, look.borderColour);
  const RECT band = Shrunk(border, 1);
  FillGradient(dc, band, look.band);
  const RECT inner = Shrunk(band, kFaceInset);
  if (look.hasFace) FillGradient(dc, inner, look.face);

  for (POINT p : {POINT{1, 1}, POINT{1, h - 2}, POINT{w - 2, h - 2}, POINT{w - 2, 1}}) {
    SetPixel(dc, p.x, p.y, face);
  }
  for (POINT p : {POINT{2, 2}, POINT{2, h - 3}, POINT{w - 3, h - 3}, POINT{w - 3, 2}}) {
    SetPixel(dc, p.x, p.y, look.bandCornerColour);
  }
  for (POINT p : {POINT{1, 2}, POINT{2, 1}, POINT{w - 3, 1}, POINT{w - 2, 2}, POINT{w - 3, h - 2},
                  POINT{w - 2, h - 3}, POINT{2, h - 2}, POINT{1, h - 3}}) {
    SetPixel(dc, p.x, p.y, look.borderNeighbourColour);
  }

  if (look.focusRectangle) {
    const RECT focus = Shrunk(inner, -1);
    DrawFocusRect(dc, &focus);
  }

  if (in.caption.empty()) return;
  RECT text_rect = inner;
  OffsetRect(&text_rect, look.captionShift, look.captionShift);
  SetTextColor(dc, look.textColour);
  SetBkMode(dc, TRANSPARENT);
  SelectedObject font(dc,
                      in.font ? static_cast<HGDIOBJ>(in.font) : GetStockObject(DEFAULT_GUI_FONT));
  DrawCaption(dc, in.caption, text_rect, AlignmentCodeOf(in.style));
}

}  // namespace vantorico::style
