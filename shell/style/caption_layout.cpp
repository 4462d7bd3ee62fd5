#include "shell/style/caption_layout.h"

#include <algorithm>

namespace vantorico::style {
namespace {

constexpr unsigned char kDoubleByteAbove = 128;

// The painters' own rule, not the code page's (base/dbcs.h): every byte above
// 128 pairs with the next one, whatever the system's lead bytes are. A pair
// cut by the end of the caption is one byte.
size_t CaptionCharLength(std::string_view text, size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  return (b > kDoubleByteAbove && i + 1 < text.size()) ? 2 : 1;
}

bool IsLineBreak(std::string_view text, size_t i) {
  return text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
}

}  // namespace

CaptionLayout LayoutCaption(std::string_view caption, int rectWidth, int rectHeight,
                            AlignmentCode alignment, int lineHeight, const CharWidth& charWidth) {
  CaptionLayout layout{{}, 0, 0};
  CaptionLine line{0, 0, 0, 0, 0};
  bool marked = false;  // an '&' is waiting to mark the next character
  size_t i = 0;
  while (i < caption.size()) {
    if (IsLineBreak(caption, i)) {
      layout.lines.push_back(line);
      i += 2;
      line = {i, 0, 0, 0, 0};
      continue;
    }
    const size_t length = CaptionCharLength(caption, i);
    int width = 0;
    if (caption[i] == '&' && !marked) {
      marked = true;
    } else {
      width = charWidth(caption.substr(i, length));
      marked = false;
    }
    // A character alone wider than the rectangle still gets a line of its own.
    if (line.length > 0 && line.width + width > rectWidth) {
      layout.lines.push_back(line);
      line = {i, 0, 0, 0, 0};
    }
    line.length += length;
    line.width += width;
    i += length;
  }
  if (line.length > 0 || !caption.empty()) layout.lines.push_back(line);

  const int count = static_cast<int>(layout.lines.size());
  layout.blockHeight = std::min(count * lineHeight, rectHeight);
  int top = (rectHeight - layout.blockHeight) / 2;
  if (IsTopAligned(alignment)) top = 0;
  if (IsBottomAligned(alignment)) top = rectHeight - layout.blockHeight;
  for (int n = 0; n < count; ++n) {
    CaptionLine& l = layout.lines[n];
    l.x = (rectWidth - l.width) / 2;
    if (IsLeftAligned(alignment)) l.x = 0;
    if (IsRightAligned(alignment)) l.x = rectWidth - l.width;
    l.y = top + n * lineHeight;
    layout.widestWidth = std::max(layout.widestWidth, l.width);
  }
  return layout;
}

}  // namespace vantorico::style
