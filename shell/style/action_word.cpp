#include "shell/style/action_word.h"

#include "shell/style/style_constants.h"

namespace vantorico::style {
namespace {

constexpr uint32_t KindBit(ControlKind kind) {
  return 1u << kind;
}
constexpr uint32_t kButtons =
    KindBit(kKindPushButton) | KindBit(kKindCheckBox) | KindBit(kKindRadioButton);
constexpr uint32_t kEdit = KindBit(kKindEdit);
constexpr uint32_t kCombo = KindBit(kKindComboBox);
constexpr uint32_t kUpDown = KindBit(kKindUpDown);
constexpr uint32_t kGroup = KindBit(kKindGroupBox);

constexpr uint32_t kPreviousThenPaint = kActionPreviousBefore | kActionPaint;
constexpr uint32_t kDefaultThenPaint = kActionDefaultBefore | kActionPaint;
constexpr uint32_t kEraseHandled = kActionReturnFixed | 1;

enum class When { kAlways, kHot, kNotHot, kNotHotLeftUp };

enum class Change {
  kNone,
  kCheckFromWParam,
  kPressedFromWParam,
  kDefaultFromWParam,
  kHotOn,
  kHotOff,
  kPressedOn,
  kPressedOff,
  kFocusOn,
  kFocusOff,
  kDisabledFromWParam,
  kFirstHalfFromPoint,
};

struct KindRule {
  uint32_t kinds;
  uint32_t message;
  When when;
  Change change;
  uint32_t action;
  uint32_t addedWhenChanged;  // only the up-down's mouse move depends on the change
};

constexpr KindRule kKindRules[] = {
    {kButtons, kWmPaint, When::kAlways, Change::kNone, kDefaultThenPaint, 0},
    {kButtons, kWmSetText, When::kAlways, Change::kNone, kDefaultThenPaint, 0},
    {kButtons, kWmEraseBkgnd, When::kAlways, Change::kNone, kActionPreviousBefore, 0},
    {kButtons, kBmSetCheck, When::kAlways, Change::kCheckFromWParam, kPreviousThenPaint, 0},
    {kButtons, kBmSetState, When::kAlways, Change::kPressedFromWParam, kPreviousThenPaint, 0},
    {kButtons, kBmSetStyle, When::kAlways, Change::kDefaultFromWParam, kPreviousThenPaint, 0},
    {kEdit, kWmPaint, When::kAlways, Change::kNone, kPreviousThenPaint, 0},
    {kEdit, kWmNcPaint, When::kAlways, Change::kNone, kPreviousThenPaint, 0},
    {kEdit, kWmHScroll, When::kAlways, Change::kNone, kPreviousThenPaint, 0},
    {kEdit, kWmVScroll, When::kAlways, Change::kNone, kPreviousThenPaint, 0},
    {kEdit, kWmNcMouseMove, When::kNotHot, Change::kHotOn, kDefaultThenPaint, 0},
    {kEdit, kWmMouseLeave, When::kHot, Change::kHotOff, kDefaultThenPaint, 0},
    {kCombo, kWmPaint, When::kAlways, Change::kNone, kPreviousThenPaint, 0},
    {kCombo, kWmNcPaint, When::kAlways, Change::kNone, kPreviousThenPaint, 0},
    {kCombo, kWmLButtonDown, When::kAlways, Change::kPressedOn, kPreviousThenPaint, 0},
    {kCombo, kWmLButtonUp, When::kAlways, Change::kPressedOff, kPreviousThenPaint, 0},
    {kUpDown, kWmPaint, When::kAlways, Change::kNone, kDefaultThenPaint, 0},
    {kUpDown, kWmNcPaint, When::kAlways, Change::kNone, kDefaultThenPaint, 0},
    {kUpDown, kWmEraseBkgnd, When::kAlways, Change::kNone, kEraseHandled, 0},
    {kUpDown, kWmMouseMove, When::kAlways, Change::kFirstHalfFromPoint, kActionCommonRules,
     kPreviousThenPaint},
    {kUpDown, kWmLButtonUp, When::kAlways, Change::kPressedOff, kPreviousThenPaint, 0},
    {kGroup, kWmPaint, When::kAlways, Change::kNone, kDefaultThenPaint, 0},
    {kGroup, kWmNcPaint, When::kAlways, Change::kNone, kDefaultThenPaint, 0},
};

struct CommonRule {
  uint32_t message;
  When when;
  Change change;
  uint32_t action;
  bool trackMouseLeave;
};

// First match wins; a row with kAlways after a conditional one is its "otherwise".
constexpr CommonRule kCommonRules[] = {
    {kWmSetFocus, When::kAlways, Change::kFocusOn, kPreviousThenPaint, false},
    {kWmKillFocus, When::kAlways, Change::kFocusOff, kPreviousThenPaint, false},
    {kWmEnable, When::kAlways, Change::kDisabledFromWParam, kPreviousThenPaint, false},
    {kWmMouseMove, When::kNotHotLeftUp, Change::kHotOn, kPreviousThenPaint, true},
    {kWmMouseMove, When::kAlways, Change::kNone, kActionPreviousAfter, false},
    {kWmMouseLeave, When::kHot, Change::kHotOff, kPreviousThenPaint, false},
    {kWmMouseLeave, When::kAlways, Change::kNone, kActionPreviousAfter, false},
};
constexpr uint32_t kCommonOtherwise = kActionPreviousBefore;

bool Holds(When when, uint32_t state, const StyleMessage& m) {
  const bool hot = (state & kStateHot) != 0;
  switch (when) {
    case When::kAlways:
      return true;
    case When::kHot:
      return hot;
    case When::kNotHot:
      return !hot;
    case When::kNotHotLeftUp:
      return !hot && (m.wParam & kMkLButton) == 0;
  }
  return false;
}

uint32_t SetFlag(uint32_t state, uint32_t flag, bool on) {
  return on ? state | flag : state & ~flag;
}

// Low and high words of lParam as signed client coordinates.
int PointX(uint32_t lparam) {
  return static_cast<int16_t>(lparam & 0xFFFF);
}
int PointY(uint32_t lparam) {
  return static_cast<int16_t>(lparam >> 16);
}

uint32_t Apply(Change change, uint32_t state, const StyleMessage& m) {
  switch (change) {
    case Change::kNone:
      return state;
    case Change::kCheckFromWParam: {
      const uint32_t cleared = state & ~(kStateChecked | kStateIndeterminate);
      if (m.wParam == static_cast<uint32_t>(kBstChecked)) return cleared | kStateChecked;
      if (m.wParam == static_cast<uint32_t>(kBstIndeterminate)) {
        return cleared | kStateIndeterminate;
      }
      return cleared;
    }
    case Change::kPressedFromWParam:
      return SetFlag(state, kStatePressed, m.wParam != 0);
    case Change::kDefaultFromWParam:
      return SetFlag(state, kStateDefault, (m.wParam & 1) != 0);
    case Change::kHotOn:
      return state | kStateHot;
    case Change::kHotOff:
      return state & ~kStateHot;
    case Change::kPressedOn:
      return state | kStatePressed;
    case Change::kPressedOff:
      return state & ~kStatePressed;
    case Change::kFocusOn:
      return state | kStateFocused;
    case Change::kFocusOff:
      return state & ~kStateFocused;
    case Change::kDisabledFromWParam:
      return SetFlag(state, kStateDisabled, m.wParam == 0);
    case Change::kFirstHalfFromPoint: {
      const bool first = (state & kStateHorizontal) ? PointX(m.lParam) < m.clientWidth / 2
                                                    : PointY(m.lParam) < m.clientHeight / 2;
      return SetFlag(state, kStateFirstHalf, first);
    }
  }
  return state;
}

}  // namespace

StyleDecision DecideActions(ControlKind kind, uint32_t state, const StyleMessage& message) {
  StyleDecision d{kActionUnlisted, state, false};
  const uint32_t kind_bit = (kind >= 0 && kind < 32) ? KindBit(kind) : 0;
  for (const KindRule& rule : kKindRules) {
    if ((rule.kinds & kind_bit) && rule.message == message.message &&
        Holds(rule.when, state, message)) {
      d.state = Apply(rule.change, state, message);
      d.actionWord = rule.action;
      if (d.state != state) d.actionWord |= rule.addedWhenChanged;
      break;
    }
  }
  if (!(d.actionWord & kActionCommonRules)) return d;

  uint32_t added = kCommonOtherwise;
  for (const CommonRule& rule : kCommonRules) {
    if (rule.message == message.message && Holds(rule.when, d.state, message)) {
      d.state = Apply(rule.change, d.state, message);
      added = rule.action;
      d.trackMouseLeave = rule.trackMouseLeave;
      break;
    }
  }
  d.actionWord |= added;
  return d;
}

MessageRoute RouteMessage(ControlKind kind, uint32_t message) {
  if ((kind == kKindUpDown && message == kWmLButtonDown) ||
      (kind == kKindEdit && message == kEmSetReadOnly)) {
    return MessageRoute::kPassThrough;
  }
  if (message == kWmDestroy) return MessageRoute::kDetachAfter;
  if (message == kWmEraseBkgnd) return MessageRoute::kCaptureThenDecide;
  return MessageRoute::kDecide;
}

}  // namespace vantorico::style
