#pragma once
// Where a button caption sits, from the button style's alignment bits.
#include <cstdint>

namespace vantorico::style {

enum AlignmentCode : int {
  kAlignTopLeft = 1,
  kAlignTopCentre = 2,
  kAlignTopRight = 4,
  kAlignMiddleLeft = 8,
  kAlignMiddleCentre = 16,
  kAlignMiddleRight = 32,
  kAlignBottomLeft = 64,
  kAlignBottomCentre = 128,
  kAlignBottomRight = 256,
};

AlignmentCode AlignmentCodeOf(uint32_t buttonStyle);

bool IsLeftAligned(AlignmentCode code);
bool IsRightAligned(AlignmentCode code);
bool IsTopAligned(AlignmentCode code);
bool IsBottomAligned(AlignmentCode code);

}  // namespace vantorico::style
