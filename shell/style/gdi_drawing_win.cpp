#include "shell/style/gdi_drawing_win.h"

namespace vantorico::style {
namespace {

constexpr int kChannelScale = 256;  // TRIVERTEX channels are 16-bit

TRIVERTEX Vertex(LONG x, LONG y, COLORREF c) {
  TRIVERTEX v{};
  v.x = x;
  v.y = y;
  v.Red = static_cast<COLOR16>(GetRValue(c) * kChannelScale);
  v.Green = static_cast<COLOR16>(GetGValue(c) * kChannelScale);
  v.Blue = static_cast<COLOR16>(GetBValue(c) * kChannelScale);
  return v;
}

}  // namespace

void FillGradient(HDC dc, const RECT& r, const GradientQuad& q) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  if (IsVertical(q)) {
    TRIVERTEX v[2] = {Vertex(r.left, r.top, q.topLeft), Vertex(r.right, r.bottom, q.bottomLeft)};
    GRADIENT_RECT mesh{0, 1};
    GradientFill(dc, v, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
    return;
  }
  TRIVERTEX v[4] = {Vertex(r.left, r.top, q.topLeft), Vertex(r.right, r.top, q.topRight),
                    Vertex(r.left, r.bottom, q.bottomLeft),
                    Vertex(r.right, r.bottom, q.bottomRight)};
  GRADIENT_TRIANGLE mesh[2] = {{0, 1, 2}, {3, 1, 2}};
  GradientFill(dc, v, 4, mesh, 2, GRADIENT_FILL_TRIANGLE);
}

void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
  UniqueBrush brush(CreateSolidBrush(colour));
  FillRect(dc, &rect, brush.get());
}

void FrameColour(HDC dc, const RECT& rect, COLORREF colour) {
  UniqueBrush brush(CreateSolidBrush(colour));
  FrameRect(dc, &rect, brush.get());
}

RECT Shrunk(const RECT& r, int by) {
  return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

OffscreenSurface::OffscreenSurface(HWND window, int width, int height, bool copyCurrentImage)
    : window_dc_(window, true), width_(width), height_(height) {
  if (!window_dc_) return;
  memory_.reset(CreateCompatibleDC(window_dc_.get()));
  bitmap_.reset(CreateCompatibleBitmap(window_dc_.get(), width, height));
  if (!memory_ || !bitmap_) return;
  selection_.emplace(memory_.get(), bitmap_.get());
  SetBkMode(memory_.get(), TRANSPARENT);
  if (copyCurrentImage) BitBlt(memory_.get(), 0, 0, width, height, window_dc_.get(), 0, 0, SRCCOPY);
}

void OffscreenSurface::Present() {
  if (!*this) return;
  BitBlt(window_dc_.get(), 0, 0, width_, height_, memory_.get(), 0, 0, SRCCOPY);
}

}  // namespace vantorico::style
