#pragma once
// Small GDI steps the painters share: gradient fills, one-pixel frames and
// pixels in a colour, the off-screen surface.
#include <windows.h>

#include <optional>

#include "base/win_handles.h"
#include "shell/style/style_colours.h"

namespace vantorico::style {

// Two triangles (top-left, top-right, bottom-left) and (bottom-right,
// top-right, bottom-left); a vertical quad is one vertical gradient.
void FillGradient(HDC dc, const RECT& rect, const GradientQuad& quad);

void FillColour(HDC dc, const RECT& rect, COLORREF colour);
void FrameColour(HDC dc, const RECT& rect, COLORREF colour);
RECT Shrunk(const RECT& rect, int by);

// A memory image of a window's size; Present copies it onto the window in one BitBlt.
class OffscreenSurface {
 public:
  OffscreenSurface(HWND window, int width, int height, bool copyCurrentImage);
  HDC dc() const { return memory_.get(); }
  explicit operator bool() const { return memory_ && bitmap_; }
  void Present();

 private:
  WindowDc window_dc_;
  int width_;
  int height_;
  UniqueMemoryDc memory_;
  UniqueBitmap bitmap_;
  std::optional<SelectedObject> selection_;  // released before the bitmap and the DC
};

}  // namespace vantorico::style
