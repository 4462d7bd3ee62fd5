#include "shell/style/arrow_button_win.h"

#include "base/win_handles.h"
#include "shell/style/gdi_drawing_win.h"

namespace vantorico::style {
namespace {

// The down chevron as three polylines around the centre; the other
// directions turn it.
constexpr POINT kChevronLines[3][3] = {
    {{-4, -2}, {0, 2}, {5, -3}},
    {{-3, -2}, {0, 1}, {4, -3}},
    {{-3, -3}, {0, 0}, {4, -4}},
};

POINT Turned(POINT p, ArrowDirection d) {
  switch (d) {
    case ArrowDirection::kDown:
      return p;
    case ArrowDirection::kUp:
      return {p.x, -p.y};
    case ArrowDirection::kRight:
      return {p.y, p.x};
    case ArrowDirection::kLeft:
      return {-p.y, p.x};
  }
  return p;
}

}  // namespace

void DrawArrowButton(HDC dc, const RECT& rect, ArrowLook look, int scheme,
                     ArrowDirection direction) {
  const GradientQuad* quads = kArrowQuads[SchemeIndex(scheme)];
  FillGradient(dc, rect, quads[look]);
  const GradientQuad& corners = quads[look + kArrowCornerQuads];
  SetPixel(dc, rect.left, rect.top, corners.topLeft);
  SetPixel(dc, rect.right - 1, rect.top, corners.topRight);
  SetPixel(dc, rect.left, rect.bottom - 1, corners.bottomLeft);
  SetPixel(dc, rect.right - 1, rect.bottom - 1, corners.bottomRight);
  const RECT inside = Shrunk(rect, 1);
  FillGradient(dc, inside, quads[look + kArrowInsideQuads]);

  const int cx = inside.left + (inside.right - inside.left) / 2;
  const int cy = inside.top + (inside.bottom - inside.top) / 2;
  const COLORREF colour = look == kArrowDisabled ? kChevronDisabled : kChevron[SchemeIndex(scheme)];
  UniquePen pen(CreatePen(PS_SOLID, 1, colour));
  SelectedObject selected(dc, pen.get());
  for (const auto& line : kChevronLines) {
    POINT points[3];
    for (int i = 0; i < 3; ++i) {
      const POINT t = Turned(line[i], direction);
      points[i] = {cx + t.x, cy + t.y};
    }
    Polyline(dc, points, 3);
  }
}

}  // namespace vantorico::style
