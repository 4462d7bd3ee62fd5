#pragma once
// The gradient arrow button of the combo box and the up-down control.
#include <windows.h>

#include "shell/style/style_colours.h"

namespace vantorico::style {

enum class ArrowDirection { kDown, kUp, kLeft, kRight };

void DrawArrowButton(HDC dc, const RECT& rect, ArrowLook look, int scheme,
                     ArrowDirection direction);

}  // namespace vantorico::style
