#pragma once
// The state a control starts with when it is attached.
#include <cstdint>

#include "shell/style/control_kind.h"

namespace vantorico::style {

struct AttachFacts {
  uint32_t style;
  bool isFocus;
  int checkState;  // BM_GETCHECK of a button; 0 otherwise
};

uint32_t InitialState(ControlKind kind, const AttachFacts& facts);

// An up-down control whose buddy is an attached edit: the flag each side gets.
struct BuddyFlags {
  uint32_t upDown;
  uint32_t edit;
};
BuddyFlags UpDownBuddyFlags(uint32_t upDownStyle);

}  // namespace vantorico::style
