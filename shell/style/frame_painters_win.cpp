// The painters that frame a whole window: edit, combo box and combo list.
#include "shell/style/arrow_button_win.h"
#include "shell/style/gdi_drawing_win.h"
#include "shell/style/painters_win.h"
#include "shell/style/push_button_look.h"
#include "shell/style/style_constants.h"

namespace vantorico::style {
namespace {

bool HasBorder(const PaintInput& in) {
  return (in.style & kWsBorder) || (in.exStyle & (kWsExClientEdge | kWsExStaticEdge));
}

// The scheme's border outside, the window colour (or button face) inside.
void DrawTwoFrames(HDC dc, const PaintInput& in, bool faceInside) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const bool disabled = (in.state & kStateDisabled) != 0;
  const RECT whole{0, 0, in.width, in.height};
  FrameColour(dc, whole,
              disabled ? Darker(face, kDisabledBorderDarken) : kEditBorder[SchemeIndex(in.scheme)]);
  FrameColour(dc, Shrunk(whole, 1), faceInside ? face : GetSysColor(COLOR_WINDOW));
}

}  // namespace

void DrawEdit(HDC dc, const PaintInput& in) {
  if (!HasBorder(in)) return;
  DrawTwoFrames(dc, in, (in.state & (kStateDisabled | kStateReadOnly)) != 0);
  // Joins the edit to an up-down control beside it.
  UniquePen pen(CreatePen(PS_SOLID, 1, kWhite));
  SelectedObject selected(dc, pen.get());
  if (in.state & kStateBuddyLeft) {
    MoveToEx(dc, 0, 1, nullptr);
    LineTo(dc, 0, in.height);
  }
  if (in.state & kStateBuddyRight) {
    MoveToEx(dc, in.width - 1, 1, nullptr);
    LineTo(dc, in.width - 1, in.height);
  }
}

void DrawComboBox(HDC dc, const PaintInput& in) {
  const bool disabled = (in.state & kStateDisabled) != 0;
  DrawTwoFrames(dc, in, disabled);
  RECT button = Shrunk(RECT{0, 0, in.width, in.height}, 2);
  button.left = button.right - GetSystemMetrics(SM_CYVTHUMB);
  FrameColour(dc, button, disabled ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW));
  button.left += 1;
  const ArrowLook look =
      ArrowLookOf(disabled, (in.state & kStatePressed) != 0, (in.state & kStateHot) != 0);
  DrawArrowButton(dc, button, look, in.scheme, ArrowDirection::kDown);
}

void DrawComboList(HDC dc, const PaintInput& in) {
  if (!(in.style & kWsBorder) || in.itemCount < 1) return;
  DrawTwoFrames(dc, in, false);
}

}  // namespace vantorico::style
