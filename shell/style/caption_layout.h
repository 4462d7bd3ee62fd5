#pragma once
// LayoutCaption's portable half: cutting a caption into lines and placing them
// in a rectangle. The Win32 side measures with the control's font and draws.
#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "shell/style/alignment_code.h"

namespace vantorico::style {

// Width in pixels of one character (one or two bytes).
using CharWidth = std::function<int(std::string_view character)>;

struct CaptionLine {
  size_t offset;  // into the caption
  size_t length;  // bytes, CR LF excluded
  int x;          // relative to the rectangle
  int y;
  int width;
};

struct CaptionLayout {
  std::vector<CaptionLine> lines;
  int widestWidth;
  int blockHeight;
};

CaptionLayout LayoutCaption(std::string_view caption, int rectWidth, int rectHeight,
                            AlignmentCode alignment, int lineHeight, const CharWidth& charWidth);

}  // namespace vantorico::style
