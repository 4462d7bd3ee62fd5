#pragma once
// The push-button painter's choices (colours, quads, caption shift) from the
// control's state and the scheme, apart from the drawing.
#include <cstdint>

#include "shell/style/style_colours.h"

namespace vantorico::style {

struct PushButtonLook {
  uint32_t borderColour;
  GradientQuad band;
  bool hasFace;  // a disabled button neither pressed nor checked keeps the band's fill
  GradientQuad face;
  uint32_t bandCornerColour;
  uint32_t borderNeighbourColour;
  uint32_t textColour;
  int captionShift;
  bool focusRectangle;
};

PushButtonLook DecidePushButtonLook(uint32_t state, int scheme, uint32_t buttonFace);

// Look index of an arrow button: disabled, pressed, hot or normal.
ArrowLook ArrowLookOf(bool disabled, bool pressed, bool hot);

}  // namespace vantorico::style
