#pragma once
// The painters of the attached kinds. Each draws into a DC of the window's
// size from what PaintInput gathered, so tests can paint into memory.
#include <windows.h>

#include <string>

#include "shell/style/control_kind.h"
#include "shell/style/styled_control.h"

namespace vantorico::style {

struct PaintInput {
  int width;  // the window (kind 0: its client area, the same for a button)
  int height;
  ControlKind kind;
  uint32_t state;
  int scheme;
  uint32_t style;
  uint32_t exStyle;
  HBRUSH backBrush;  // null before the first erase
  COLORREF textColour;
  std::string caption;
  HFONT font;
  int itemCount;  // combo list
};

void DrawPushButton(HDC dc, const PaintInput& in);
void DrawEdit(HDC dc, const PaintInput& in);
void DrawComboBox(HDC dc, const PaintInput& in);
void DrawComboList(HDC dc, const PaintInput& in);
void DrawCheckBox(HDC dc, const PaintInput& in);  // radio buttons too
void DrawGroupBox(HDC dc, const PaintInput& in);
void DrawUpDown(HDC dc, const PaintInput& in);

// Gathers the input from the window and its record, paints off-screen and
// copies the result onto the window.
void PaintStyledControl(const StyledControl& control, int scheme);

}  // namespace vantorico::style
