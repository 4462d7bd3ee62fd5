#pragma once
// What the style's window procedure does with one message of an attached
// control: the state change and the action word, from the per-kind rules and
// the common state rules.
#include <cstdint>

#include "shell/style/control_kind.h"
#include "shell/style/style_constants.h"

namespace vantorico::style {

struct StyleMessage {
  uint32_t message;
  uint32_t wParam;
  uint32_t lParam;
  int clientWidth;  // up-down: which half the mouse is over
  int clientHeight;
};

struct StyleDecision {
  uint32_t actionWord;
  uint32_t state;        // the control's state after the message
  bool trackMouseLeave;  // ask for WM_MOUSELEAVE (TrackMouseEvent, TME_LEAVE)
};

StyleDecision DecideActions(ControlKind kind, uint32_t state, const StyleMessage& message);

// The steps before the action word: some messages bypass it, WM_DESTROY
// detaches, WM_ERASEBKGND first captures the parent's colours.
enum class MessageRoute {
  kPassThrough,  // straight to the previous procedure
  kDetachAfter,  // previous procedure, then detach
  kCaptureThenDecide,
  kDecide,
};

MessageRoute RouteMessage(ControlKind kind, uint32_t message);

inline bool ReturnsFixedValue(uint32_t word) {
  return (word & kActionReturnFixed) != 0;
}
inline uint32_t FixedValue(uint32_t word) {
  return word & kActionFixedResultMask;
}

}  // namespace vantorico::style
