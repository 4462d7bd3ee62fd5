#include "shell/style/caption_drawing_win.h"

#include <algorithm>
#include <string>

#include "shell/style/style_constants.h"

namespace vantorico::style {

CaptionLayout DrawCaption(HDC dc, std::string_view caption, const RECT& rect,
                          AlignmentCode alignment) {
  SIZE letter{};
  GetTextExtentPoint32A(dc, "a", 1, &letter);
  const auto width = [dc](std::string_view c) {
    SIZE s{};
    GetTextExtentPoint32A(dc, c.data(), static_cast<int>(c.size()), &s);
    return static_cast<int>(s.cx);
  };
  CaptionLayout layout = LayoutCaption(caption, rect.right - rect.left, rect.bottom - rect.top,
                                       alignment, letter.cy, width);
  for (const CaptionLine& line : layout.lines) {
    const std::string text(
        caption.substr(line.offset, std::min<size_t>(line.length, kCaptionLineMaxBytes)));
    RECT r{rect.left + line.x, rect.top + line.y, rect.left + line.x + line.width,
           rect.top + line.y + letter.cy};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, 0);
  }
  return layout;
}

}  // namespace vantorico::style
