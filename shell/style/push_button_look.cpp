#include "shell/style/push_button_look.h"

#include "shell/style/style_constants.h"

namespace vantorico::style {

PushButtonLook DecidePushButtonLook(uint32_t state, int scheme, uint32_t buttonFace) {
  const GradientQuad* quads = kPushQuads[SchemeIndex(scheme)];
  const bool disabled = (state & kStateDisabled) != 0;
  const bool pressed = (state & kStatePressed) != 0;
  const bool marked = (state & (kStateChecked | kStateIndeterminate)) != 0;

  PushButtonLook look{};
  look.borderColour =
      disabled ? Darker(buttonFace, kDisabledBorderDarken) : kPushBorder[SchemeIndex(scheme)];
  look.bandCornerColour =
      disabled ? Darker(buttonFace, kDisabledBandCornerDarken) : look.borderColour;
  look.borderNeighbourColour =
      disabled ? Darker(buttonFace, kDisabledBorderNeighbourDarken) : look.borderColour;

  if (disabled) {
    look.band = Flat(kDisabledBand);
  } else if (pressed) {
    look.band = quads[kQuadBandPressed];
  } else if (state & kStateHot) {
    look.band = quads[kQuadBandHot];
  } else if (marked) {
    look.band = quads[kQuadBandChecked];
  } else if (state & (kStateFocused | kStateDefault)) {
    look.band = quads[kQuadBandFocused];
  } else {
    look.band = quads[kQuadBandNormal];
  }

  if (pressed || marked) {
    look.hasFace = true;
    look.face = quads[kQuadFacePressed];
  } else if (!disabled) {
    look.hasFace = true;
    look.face = quads[kQuadFaceNormal];
  }

  look.textColour = (disabled || (state & kStateIndeterminate)) ? kGreyCaption : kBlack;
  look.captionShift = pressed ? 1 : 0;
  look.focusRectangle = (state & kStateFocused) != 0;
  return look;
}

ArrowLook ArrowLookOf(bool disabled, bool pressed, bool hot) {
  if (disabled) return kArrowDisabled;
  if (pressed) return kArrowPressed;
  if (hot) return kArrowHot;
  return kArrowNormal;
}

}  // namespace vantorico::style
