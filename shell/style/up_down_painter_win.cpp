#include "shell/style/arrow_button_win.h"
#include "shell/style/painters_win.h"
#include "shell/style/push_button_look.h"
#include "shell/style/style_constants.h"

namespace vantorico::style {

void DrawUpDown(HDC dc, const PaintInput& in) {
  const bool horizontal = (in.state & kStateHorizontal) != 0;
  RECT first{0, 0, in.width, in.height};
  RECT second = first;
  if (horizontal) {
    first.right = second.left = in.width / 2;
  } else {
    first.bottom = second.top = in.height / 2;
  }
  const bool disabled = (in.state & kStateDisabled) != 0;
  const bool pressed = (in.state & kStatePressed) != 0;
  const bool hot = (in.state & kStateHot) != 0;
  const bool over_first = (in.state & kStateFirstHalf) != 0;
  // Only the half under the mouse shows hot or pressed.
  DrawArrowButton(dc, first, ArrowLookOf(disabled, pressed && over_first, hot && over_first),
                  in.scheme, horizontal ? ArrowDirection::kLeft : ArrowDirection::kUp);
  DrawArrowButton(dc, second, ArrowLookOf(disabled, pressed && !over_first, hot && !over_first),
                  in.scheme, horizontal ? ArrowDirection::kRight : ArrowDirection::kDown);
}

}  // namespace vantorico::style
