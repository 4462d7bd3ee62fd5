#pragma once
// LayoutCaption with the DC's current font: measures, places and draws each line.
#include <windows.h>

#include <string_view>

#include "shell/style/caption_layout.h"

namespace vantorico::style {

CaptionLayout DrawCaption(HDC dc, std::string_view caption, const RECT& rect,
                          AlignmentCode alignment);

}  // namespace vantorico::style
