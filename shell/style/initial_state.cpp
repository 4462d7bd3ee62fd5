#include "shell/style/initial_state.h"

#include "shell/style/style_constants.h"

namespace vantorico::style {

uint32_t InitialState(ControlKind kind, const AttachFacts& facts) {
  uint32_t state = 0;
  if (facts.style & kWsDisabled) state |= kStateDisabled;
  if (facts.isFocus) state |= kStateFocused;
  switch (kind) {
    case kKindPushButton:
    case kKindCheckBox:
    case kKindRadioButton:
      if ((facts.style & kButtonTypeMask) == kBsDefPushButton) state |= kStateDefault;
      if (facts.checkState == kBstChecked) state |= kStateChecked;
      if (facts.checkState == kBstIndeterminate) state |= kStateIndeterminate;
      break;
    case kKindEdit:
      if (facts.style & kEsReadOnly) state |= kStateReadOnly;
      break;
    case kKindComboBox:
      if ((facts.style & kCbsTypeMask) == kCbsDropDown) state |= kStateComboDropDown;
      if ((facts.style & kCbsTypeMask) == kCbsDropDownList) state |= kStateComboDropDownList;
      break;
    case kKindUpDown:
      if (facts.style & kUdsHorz) state |= kStateHorizontal;
      break;
    default:
      break;
  }
  return state;
}

BuddyFlags UpDownBuddyFlags(uint32_t upDownStyle) {
  if (upDownStyle & kUdsAlignLeft) return {kStateAlignedLeft, kStateBuddyLeft};
  if (upDownStyle & kUdsAlignRight) return {kStateAlignedRight, kStateBuddyRight};
  return {0, 0};
}

}  // namespace vantorico::style
