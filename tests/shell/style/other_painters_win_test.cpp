#include <windows.h>

#include <gtest/gtest.h>

#include "shell/style/gdi_drawing_win.h"
#include "shell/style/painters_win.h"
#include "shell/style/style_colours.h"
#include "shell/style/style_constants.h"
#include "tests/shell/style/pixel_canvas_win.h"

namespace vantorico::style {
namespace {

using style_testing::kSentinel;
using style_testing::Near;
using style_testing::PixelCanvas;

PaintInput Input(ControlKind kind, int w, int h, uint32_t state, uint32_t style,
                 uint32_t exStyle = 0, int scheme = 1) {
  PaintInput in{};
  in.width = w;
  in.height = h;
  in.kind = kind;
  in.state = state;
  in.scheme = scheme;
  in.style = style;
  in.exStyle = exStyle;
  return in;
}

COLORREF Face() {
  return GetSysColor(COLOR_BTNFACE);
}

TEST(GradientFill, CornersAndVerticalRows) {
  PixelCanvas c(20, 20);
  const GradientQuad quad{RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 200)};
  FillGradient(c.dc(), {0, 0, 20, 20}, quad);
  EXPECT_EQ(c.At(0, 0), RGB(200, 0, 0));
  EXPECT_TRUE(Near(c.At(19, 0), RGB(0, 200, 0), 12)) << std::hex << c.At(19, 0);
  EXPECT_TRUE(Near(c.At(0, 19), RGB(0, 0, 200), 12)) << std::hex << c.At(0, 19);
  EXPECT_TRUE(Near(c.At(19, 19), RGB(200, 200, 200), 24)) << std::hex << c.At(19, 19);

  PixelCanvas v(20, 20);
  FillGradient(v.dc(), {2, 2, 18, 18}, Vertical(RGB(255, 255, 255), RGB(0, 0, 0)));
  for (int x = 2; x < 18; ++x) EXPECT_EQ(v.At(x, 2), RGB(255, 255, 255));
  EXPECT_EQ(v.At(2, 10), v.At(17, 10));
  EXPECT_EQ(v.At(1, 1), kSentinel);
  EXPECT_EQ(v.At(18, 18), kSentinel);
}

TEST(EditPainter, ReadOnlyClientEdgeFrames) {
  PixelCanvas c(120, 21);
  DrawEdit(c.dc(),
           Input(kKindEdit, 120, 21, kStateReadOnly, WS_CHILD | ES_READONLY, WS_EX_CLIENTEDGE));
  EXPECT_EQ(c.At(0, 0), RGB(123, 158, 189));
  EXPECT_EQ(c.At(60, 20), RGB(123, 158, 189));
  EXPECT_EQ(c.At(1, 1), Face());
  EXPECT_EQ(c.At(118, 10), Face());
  EXPECT_EQ(c.At(60, 10), kSentinel);  // the content stays as the edit drew it
}

TEST(EditPainter, EditableDisabledSchemesAndBuddy) {
  PixelCanvas editable(120, 21);
  DrawEdit(editable.dc(), Input(kKindEdit, 120, 21, 0, WS_CHILD | WS_BORDER, 0, 2));
  EXPECT_EQ(editable.At(0, 0), RGB(164, 185, 127));
  EXPECT_EQ(editable.At(1, 1), GetSysColor(COLOR_WINDOW));

  PixelCanvas disabled(120, 21);
  DrawEdit(disabled.dc(), Input(kKindEdit, 120, 21, kStateDisabled, WS_CHILD, WS_EX_STATICEDGE, 3));
  EXPECT_EQ(disabled.At(0, 0), Darker(Face(), 0x20));
  EXPECT_EQ(disabled.At(1, 1), Face());

  PixelCanvas scheme3(120, 21);
  DrawEdit(scheme3.dc(), Input(kKindEdit, 120, 21, 0, WS_CHILD, WS_EX_CLIENTEDGE, 3));
  EXPECT_EQ(scheme3.At(0, 0), RGB(198, 197, 215));

  PixelCanvas right(120, 21);
  DrawEdit(right.dc(), Input(kKindEdit, 120, 21, kStateBuddyRight, WS_CHILD, WS_EX_CLIENTEDGE));
  EXPECT_EQ(right.At(119, 1), RGB(255, 255, 255));
  EXPECT_EQ(right.At(119, 20), RGB(255, 255, 255));
  EXPECT_EQ(right.At(119, 0), RGB(123, 158, 189));
  EXPECT_EQ(right.At(0, 5), RGB(123, 158, 189));
  PixelCanvas left(120, 21);
  DrawEdit(left.dc(), Input(kKindEdit, 120, 21, kStateBuddyLeft, WS_CHILD, WS_EX_CLIENTEDGE));
  EXPECT_EQ(left.At(0, 5), RGB(255, 255, 255));
}

TEST(EditPainter, NoBorderNoFrame) {
  PixelCanvas c(50, 20);
  DrawEdit(c.dc(), Input(kKindEdit, 50, 20, kStateReadOnly, WS_CHILD));
  EXPECT_EQ(c.At(0, 0), kSentinel);
  EXPECT_EQ(c.At(1, 1), kSentinel);
}

TEST(ComboBoxPainter, FramesAndArrowButton) {
  const int w = 120, h = 22;
  PixelCanvas c(w, h);
  DrawComboBox(c.dc(),
               Input(kKindComboBox, w, h, kStateComboDropDownList, WS_CHILD | CBS_DROPDOWNLIST));
  EXPECT_EQ(c.At(0, 0), RGB(123, 158, 189));
  EXPECT_EQ(c.At(1, 1), GetSysColor(COLOR_WINDOW));
  const int right = w - 2;
  const int left = right - GetSystemMetrics(SM_CYVTHUMB);
  EXPECT_EQ(c.At(left, h / 2), GetSysColor(COLOR_WINDOW));  // the button's frame
  // Scheme-1 normal corner pixels (quad 7), then the inside (quad 11).
  EXPECT_EQ(c.At(left + 1, 2), RGB(231, 239, 255));
  EXPECT_EQ(c.At(right - 1, 2), RGB(222, 231, 255));
  EXPECT_EQ(c.At(left + 1, h - 3), RGB(222, 227, 255));
  EXPECT_EQ(c.At(right - 1, h - 3), RGB(222, 227, 247));
  EXPECT_TRUE(Near(c.At(left + 2, 3), RGB(231, 235, 255), 6)) << std::hex << c.At(left + 2, 3);
  // The chevron starts at (cx - 4, cy - 2) of the inside rectangle.
  const int cx = (left + 2) + (right - 1 - (left + 2)) / 2;
  const int cy = 3 + (h - 3 - 3) / 2;
  EXPECT_EQ(c.At(cx - 4, cy - 2), RGB(123, 158, 189));
  EXPECT_EQ(c.At(cx, cy + 1), RGB(123, 158, 189));
}

TEST(ComboBoxPainter, PressedHotAndDisabledLooks) {
  const int w = 120, h = 22;
  const int right = w - 2;
  const int left = right - GetSystemMetrics(SM_CYVTHUMB);
  PixelCanvas pressed(w, h);
  DrawComboBox(pressed.dc(), Input(kKindComboBox, w, h, kStatePressed | kStateHot, 0));
  EXPECT_EQ(pressed.At(left + 1, 2), RGB(189, 195, 222));
  PixelCanvas hot(w, h);
  DrawComboBox(hot.dc(), Input(kKindComboBox, w, h, kStateHot, 0));
  EXPECT_EQ(hot.At(left + 1, 2), RGB(206, 219, 239));
  PixelCanvas disabled(w, h);
  DrawComboBox(disabled.dc(), Input(kKindComboBox, w, h, kStateDisabled | kStateHot, 0));
  EXPECT_EQ(disabled.At(left + 1, 2), RGB(247, 247, 247));
  EXPECT_EQ(disabled.At(0, 0), Darker(Face(), 0x20));
  EXPECT_EQ(disabled.At(1, 1), Face());
  const int cx = (left + 2) + (right - 1 - (left + 2)) / 2;
  const int cy = 3 + (h - 3 - 3) / 2;
  EXPECT_EQ(disabled.At(cx - 4, cy - 2), RGB(206, 203, 198));
  PixelCanvas olive(w, h);
  DrawComboBox(olive.dc(), Input(kKindComboBox, w, h, 0, 0, 0, 2));
  EXPECT_EQ(olive.At(cx - 4, cy - 2), RGB(255, 255, 255));
}

TEST(CheckBoxPainter, BoxPlacementBorderAndMark) {
  PixelCanvas c(100, 20);
  PaintInput in = Input(kKindCheckBox, 100, 20, kStateChecked, WS_CHILD | BS_AUTOCHECKBOX);
  DrawCheckBox(c.dc(), in);
  EXPECT_EQ(c.At(0, 0), RGB(24, 81, 132));
  EXPECT_EQ(c.At(12, 12), RGB(24, 81, 132));
  EXPECT_EQ(c.At(3, 5), RGB(33, 162, 33));
  EXPECT_EQ(c.At(5, 9), RGB(33, 162, 33));

  PixelCanvas unchecked(100, 20);
  DrawCheckBox(unchecked.dc(), Input(kKindCheckBox, 100, 20, 0, WS_CHILD | BS_AUTOCHECKBOX));
  EXPECT_NE(unchecked.At(3, 5), RGB(33, 162, 33));

  PixelCanvas right(100, 20);
  DrawCheckBox(right.dc(), Input(kKindCheckBox, 100, 20, 0,
                                 WS_CHILD | BS_AUTOCHECKBOX | BS_LEFTTEXT | BS_VCENTER));
  EXPECT_EQ(right.At(100 - 13, (20 - 13) / 2), RGB(24, 81, 132));
  EXPECT_NE(right.At(0, 0), RGB(24, 81, 132));

  PixelCanvas bottom(100, 20);
  DrawCheckBox(bottom.dc(), Input(kKindCheckBox, 100, 20, 0, WS_CHILD | BS_BOTTOM));
  EXPECT_EQ(bottom.At(0, 20 - 13), RGB(24, 81, 132));
}

TEST(CheckBoxPainter, DisabledIsWhiteWithGreyMark) {
  PixelCanvas c(100, 20);
  DrawCheckBox(c.dc(), Input(kKindCheckBox, 100, 20, kStateDisabled | kStateChecked,
                             WS_CHILD | BS_AUTOCHECKBOX));
  EXPECT_EQ(c.At(0, 0), Darker(Face(), 0x20));
  EXPECT_EQ(c.At(1, 1), RGB(255, 255, 255));
  EXPECT_EQ(c.At(3, 5), RGB(206, 203, 189));
}

TEST(RadioButtonPainter, RoundMarkWhenChecked) {
  PixelCanvas c(100, 20);
  DrawCheckBox(c.dc(),
               Input(kKindRadioButton, 100, 20, kStateChecked, WS_CHILD | BS_AUTORADIOBUTTON));
  EXPECT_EQ(c.At(6, 6), RGB(33, 162, 33));
  EXPECT_NE(c.At(0, 0), RGB(24, 81, 132));  // the corner lies outside the circle
  EXPECT_EQ(c.At(6, 0), RGB(24, 81, 132));
  PixelCanvas off(100, 20);
  DrawCheckBox(off.dc(), Input(kKindRadioButton, 100, 20, 0, WS_CHILD | BS_AUTORADIOBUTTON));
  EXPECT_NE(off.At(6, 6), RGB(33, 162, 33));
}

TEST(GroupBoxPainter, FrameColourWithCaptionOverTheTopLine) {
  const int w = 150, h = 80;
  PixelCanvas c(w, h);
  PaintInput in = Input(kKindGroupBox, w, h, 0, WS_CHILD | BS_GROUPBOX);
  DrawGroupBox(c.dc(), in);
  const COLORREF frame = RGB(191, 184, 191);
  EXPECT_EQ(c.At(w / 2, h - 1), frame);
  EXPECT_EQ(c.At(0, h / 2), frame);
  EXPECT_EQ(c.At(w - 1, h / 2), frame);
  EXPECT_NE(c.At(0, h - 1), frame);  // rounded
  EXPECT_EQ(c.At(w / 2, h / 2), kSentinel);

  PixelCanvas titled(w, h);
  in.caption = "HHHH";
  DrawGroupBox(titled.dc(), in);
  int top_line_y = -1;
  for (int y = 0; y < h / 2; ++y) {
    if (titled.At(w - 20, y) == frame) top_line_y = y;
  }
  ASSERT_GE(top_line_y, 0);
  EXPECT_NE(titled.At(12, top_line_y), frame);  // the caption interrupts the line
}

TEST(UpDownPainter, TwoArrowButtonsTheHalfUnderTheMouseHot) {
  const int w = 16, h = 22;
  PixelCanvas normal(w, h);
  DrawUpDown(normal.dc(), Input(kKindUpDown, w, h, 0, WS_CHILD));
  EXPECT_EQ(normal.At(0, 0), RGB(231, 239, 255));
  EXPECT_EQ(normal.At(0, h / 2), RGB(231, 239, 255));
  EXPECT_EQ(normal.At(w - 1, h - 1), RGB(222, 227, 247));

  PixelCanvas hot_first(w, h);
  DrawUpDown(hot_first.dc(), Input(kKindUpDown, w, h, kStateHot | kStateFirstHalf, WS_CHILD));
  EXPECT_EQ(hot_first.At(0, 0), RGB(206, 219, 239));
  EXPECT_EQ(hot_first.At(0, h / 2), RGB(231, 239, 255));

  PixelCanvas hot_second(w, h);
  DrawUpDown(hot_second.dc(), Input(kKindUpDown, w, h, kStateHot, WS_CHILD));
  EXPECT_EQ(hot_second.At(0, 0), RGB(231, 239, 255));
  EXPECT_EQ(hot_second.At(0, h / 2), RGB(206, 219, 239));

  PixelCanvas horizontal(30, 14);
  DrawUpDown(horizontal.dc(),
             Input(kKindUpDown, 30, 14, kStateHot | kStateFirstHalf | kStateHorizontal, WS_CHILD));
  EXPECT_EQ(horizontal.At(0, 0), RGB(206, 219, 239));
  EXPECT_EQ(horizontal.At(15, 0), RGB(231, 239, 255));
}

TEST(ComboListPainter, FramesOnlyWithBorderAndItems) {
  PixelCanvas framed(80, 60);
  PaintInput in = Input(kKindComboList, 80, 60, 0, WS_CHILD | WS_BORDER);
  in.itemCount = 3;
  DrawComboList(framed.dc(), in);
  EXPECT_EQ(framed.At(0, 0), RGB(123, 158, 189));
  EXPECT_EQ(framed.At(1, 1), GetSysColor(COLOR_WINDOW));

  PixelCanvas empty(80, 60);
  in.itemCount = 0;
  DrawComboList(empty.dc(), in);
  EXPECT_EQ(empty.At(0, 0), kSentinel);

  PixelCanvas borderless(80, 60);
  in.itemCount = 3;
  in.style = WS_CHILD;
  DrawComboList(borderless.dc(), in);
  EXPECT_EQ(borderless.At(0, 0), kSentinel);
}

}  // namespace
}  // namespace vantorico::style
