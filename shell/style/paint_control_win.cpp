// The paint action: gathers a control's input, paints it off-screen by kind
// and copies the image onto the window.
#include "base/win_handles.h"
#include "shell/style/gdi_drawing_win.h"
#include "shell/style/painters_win.h"
#include "shell/style/style_constants.h"

namespace vantorico::style {
namespace {

using Painter = void (*)(HDC, const PaintInput&);

struct PainterRow {
  ControlKind kind;
  Painter paint;
  bool overCurrentImage;  // copy the window's image first and draw over it
};

constexpr PainterRow kPainters[] = {
    {kKindPushButton, DrawPushButton, false}, {kKindCheckBox, DrawCheckBox, false},
    {kKindRadioButton, DrawCheckBox, false},  {kKindEdit, DrawEdit, true},
    {kKindComboBox, DrawComboBox, true},      {kKindUpDown, DrawUpDown, true},
    {kKindGroupBox, DrawGroupBox, true},      {kKindComboList, DrawComboList, true},
};

std::string WindowCaption(HWND hwnd) {
  char text[kCaptionMaxBytes + 1] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

}  // namespace

void PaintStyledControl(const StyledControl& control, int scheme) {
  const PainterRow* row = nullptr;
  for (const PainterRow& r : kPainters) {
    if (r.kind == control.kind) row = &r;
  }
  if (!row) return;

  const HWND hwnd = static_cast<HWND>(control.window);
  RECT window_rect{};
  GetWindowRect(hwnd, &window_rect);
  PaintInput in{};
  in.width = window_rect.right - window_rect.left;
  in.height = window_rect.bottom - window_rect.top;
  if (control.kind == kKindPushButton) {
    RECT client{};
    GetClientRect(hwnd, &client);
    in.width = client.right;
    in.height = client.bottom;
  }
  if (in.width <= 0 || in.height <= 0) return;
  in.kind = control.kind;
  in.state = control.state;
  in.scheme = scheme;
  in.style = static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_STYLE));
  in.exStyle = static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_EXSTYLE));
  in.backBrush = static_cast<HBRUSH>(control.backBrush);
  in.textColour = control.textColour;
  in.font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
  if (control.kind <= kKindRadioButton || control.kind == kKindGroupBox) {
    in.caption = WindowCaption(hwnd);
  }
  if (control.kind == kKindComboList) {
    in.itemCount = static_cast<int>(SendMessageA(hwnd, LB_GETCOUNT, 0, 0));
  }

  OffscreenSurface surface(hwnd, in.width, in.height, row->overCurrentImage);
  if (!surface) return;
  row->paint(surface.dc(), in);
  surface.Present();
}

}  // namespace vantorico::style
