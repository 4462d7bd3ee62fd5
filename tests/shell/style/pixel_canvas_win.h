#pragma once
// A 32-bit memory image for painter tests: paint into dc(), read pixels back.
#include <windows.h>

#include <cstdlib>
#include <optional>

#include "base/win_handles.h"

namespace vantorico::style::style_testing {

constexpr COLORREF kSentinel = RGB(1, 2, 3);

class PixelCanvas {
 public:
  PixelCanvas(int width, int height)
      : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    selection_.emplace(dc_.get(), bitmap_.get());
    UniqueBrush brush(CreateSolidBrush(kSentinel));
    RECT all{0, 0, width, height};
    FillRect(dc_.get(), &all, brush.get());
  }

  HDC dc() const { return dc_.get(); }
  COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_;
  int height_;
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  std::optional<SelectedObject> selection_;
};

inline bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

}  // namespace vantorico::style::style_testing
