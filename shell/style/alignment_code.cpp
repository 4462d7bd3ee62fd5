#include "shell/style/alignment_code.h"

#include "shell/style/style_constants.h"

namespace vantorico::style {
namespace {

struct AlignmentRow {
  uint32_t styleBits;
  AlignmentCode code;
};

// Only full left/right plus top/vcenter/bottom combinations count; BS_LEFT or
// BS_RIGHT alone falls through to the centre.
constexpr AlignmentRow kAlignmentRows[] = {
    {kBsTop | kBsLeft, kAlignTopLeft},           {kBsTop | kBsCenter, kAlignTopCentre},
    {kBsTop | kBsRight, kAlignTopRight},         {kBsVCenter | kBsLeft, kAlignMiddleLeft},
    {kBsVCenter | kBsRight, kAlignMiddleRight},  {kBsBottom | kBsLeft, kAlignBottomLeft},
    {kBsBottom | kBsCenter, kAlignBottomCentre}, {kBsBottom | kBsRight, kAlignBottomRight},
};

}  // namespace

AlignmentCode AlignmentCodeOf(uint32_t buttonStyle) {
  const uint32_t bits = buttonStyle & kBsAlignmentMask;
  for (const AlignmentRow& row : kAlignmentRows) {
    if (row.styleBits == bits) return row.code;
  }
  return kAlignMiddleCentre;
}

bool IsLeftAligned(AlignmentCode code) {
  return code == kAlignTopLeft || code == kAlignMiddleLeft || code == kAlignBottomLeft;
}
bool IsRightAligned(AlignmentCode code) {
  return code == kAlignTopRight || code == kAlignMiddleRight || code == kAlignBottomRight;
}
bool IsTopAligned(AlignmentCode code) {
  return code == kAlignTopLeft || code == kAlignTopCentre || code == kAlignTopRight;
}
bool IsBottomAligned(AlignmentCode code) {
  return code == kAlignBottomLeft || code == kAlignBottomCentre || code == kAlignBottomRight;
}

}  // namespace vantorico::style
