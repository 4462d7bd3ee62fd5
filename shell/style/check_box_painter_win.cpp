// Check boxes and radio buttons: a 13 x 13 mark box and the caption beside it.
#include <algorithm>
#include <iterator>

#include "base/win_handles.h"
#include "shell/style/alignment_code.h"
#include "shell/style/caption_drawing_win.h"
#include "shell/style/gdi_drawing_win.h"
#include "shell/style/painters_win.h"
#include "shell/style/style_constants.h"

namespace vantorico::style {
namespace {

// Tops of the check mark's seven three-pixel strokes, left to right.
constexpr int kCheckStrokeTop[] = {5, 6, 7, 6, 5, 4, 3};
constexpr int kCheckStrokeLeft = 3;
constexpr int kCheckStrokeLength = 3;
constexpr int kRadioDotInset = 4;

RECT MarkBox(const PaintInput& in) {
  const int left = (in.style & kBsLeftText) ? in.width - kCheckBoxSize : 0;
  int top = 0;
  if ((in.style & kBsVerticalMask) == kBsVCenter) top = (in.height - kCheckBoxSize) / 2;
  if ((in.style & kBsVerticalMask) == kBsBottom) top = in.height - kCheckBoxSize;
  return {left, top, left + kCheckBoxSize, top + kCheckBoxSize};
}

const GradientQuad& BoxFill(uint32_t state) {
  if (state & kStatePressed) return kCheckPressed;
  if (state & kStateHot) return kCheckHot;
  return kCheckNormal;
}

void DrawSquareMark(HDC dc, const RECT& box, const PaintInput& in, COLORREF border, COLORREF mark) {
  const bool disabled = (in.state & kStateDisabled) != 0;
  if (disabled) {
    FillColour(dc, box, kWhite);
  } else {
    FillGradient(dc, box, BoxFill(in.state));
  }
  FrameColour(dc, box, border);
  if (!(in.state & (kStateChecked | kStateIndeterminate))) return;
  for (int i = 0; i < static_cast<int>(std::size(kCheckStrokeTop)); ++i) {
    const RECT stroke{box.left + kCheckStrokeLeft + i, box.top + kCheckStrokeTop[i],
                      box.left + kCheckStrokeLeft + i + 1,
                      box.top + kCheckStrokeTop[i] + kCheckStrokeLength};
    FillColour(dc, stroke, mark);
  }
}

void DrawRoundMark(HDC dc, const RECT& box, const PaintInput& in, COLORREF border, COLORREF mark) {
  const bool disabled = (in.state & kStateDisabled) != 0;
  {
    UniqueRegion round(CreateEllipticRgn(box.left, box.top, box.right + 1, box.bottom + 1));
    SelectClipRgn(dc, round.get());
    if (disabled) {
      FillColour(dc, box, kWhite);
    } else {
      FillGradient(dc, box, BoxFill(in.state));
    }
    SelectClipRgn(dc, nullptr);
  }
  UniquePen pen(CreatePen(PS_SOLID, 1, border));
  SelectedObject selected_pen(dc, pen.get());
  SelectedObject hollow(dc, GetStockObject(HOLLOW_BRUSH));
  Ellipse(dc, box.left, box.top, box.right, box.bottom);
  if (!(in.state & kStateChecked)) return;
  UniqueBrush dot(CreateSolidBrush(mark));
  UniquePen dot_pen(CreatePen(PS_SOLID, 1, mark));
  SelectedObject selected_dot(dc, dot.get());
  SelectedObject selected_dot_pen(dc, dot_pen.get());
  const RECT inner = Shrunk(box, kRadioDotInset);
  Ellipse(dc, inner.left, inner.top, inner.right, inner.bottom);
}

}  // namespace

void DrawCheckBox(HDC dc, const PaintInput& in) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const bool disabled = (in.state & kStateDisabled) != 0;
  const RECT whole{0, 0, in.width, in.height};
  if (in.backBrush) {
    FillRect(dc, &whole, in.backBrush);
  } else {
    FillColour(dc, whole, face);
  }
  const RECT box = MarkBox(in);
  const COLORREF border = disabled ? Darker(face, kDisabledBorderDarken) : kCheckBorder;
  const COLORREF mark = disabled ? kCheckMarkDisabled : kCheckMark;
  if (in.kind == kKindRadioButton) {
    DrawRoundMark(dc, box, in, border, mark);
  } else {
    DrawSquareMark(dc, box, in, border, mark);
  }

  if (in.caption.empty()) return;
  RECT text = whole;
  if (in.style & kBsLeftText) {
    text.right = box.left - (kCheckBoxCaptionGap - kCheckBoxSize);
  } else {
    text.left = box.left + kCheckBoxCaptionGap;
  }
  SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : in.textColour);
  SetBkMode(dc, TRANSPARENT);
  SelectedObject font(dc,
                      in.font ? static_cast<HGDIOBJ>(in.font) : GetStockObject(DEFAULT_GUI_FONT));
  // A check box's caption defaults to the left, not the centre.
  AlignmentCode alignment = AlignmentCodeOf(in.style);
  if (alignment == kAlignMiddleCentre && (in.style & kBsAlignmentMask) == 0) {
    alignment = kAlignMiddleLeft;
  }
  const CaptionLayout layout = DrawCaption(dc, in.caption, text, alignment);
  if ((in.state & kStateFocused) && !layout.lines.empty()) {
    const CaptionLine& first = layout.lines.front();
    int left = text.left + first.x;
    for (const CaptionLine& l : layout.lines) left = std::min<int>(left, text.left + l.x);
    RECT focus{left - 1, text.top + first.y - 1, left + layout.widestWidth + 1,
               text.top + first.y + layout.blockHeight + 1};
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace vantorico::style
