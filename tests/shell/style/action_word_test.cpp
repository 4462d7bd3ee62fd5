#include "shell/style/action_word.h"

#include <gtest/gtest.h>

#include "shell/style/style_constants.h"

namespace vantorico::style {
namespace {

constexpr uint32_t kPrevPaint = kActionPreviousBefore | kActionPaint;
constexpr uint32_t kDefPaint = kActionDefaultBefore | kActionPaint;
constexpr uint32_t kCommonPrev = kActionCommonRules | kActionPreviousBefore;

StyleMessage Msg(uint32_t message, uint32_t wparam = 0, uint32_t lparam = 0) {
  return {message, wparam, lparam, 20, 40};
}

uint32_t Point(int x, int y) {
  return (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) | static_cast<uint16_t>(x);
}

constexpr ControlKind kButtonKinds[] = {kKindPushButton, kKindCheckBox, kKindRadioButton};

TEST(ActionWord, ButtonRules) {
  for (ControlKind kind : kButtonKinds) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(DecideActions(kind, 0, Msg(kWmPaint)).actionWord, kDefPaint);
    EXPECT_EQ(DecideActions(kind, 0, Msg(kWmSetText)).actionWord, kDefPaint);
    EXPECT_EQ(DecideActions(kind, 0, Msg(kWmEraseBkgnd)).actionWord, kActionPreviousBefore);

    StyleDecision d = DecideActions(kind, kStateIndeterminate, Msg(kBmSetCheck, 1));
    EXPECT_EQ(d.actionWord, kPrevPaint);
    EXPECT_EQ(d.state, kStateChecked);
    d = DecideActions(kind, kStateChecked, Msg(kBmSetCheck, 2));
    EXPECT_EQ(d.state, kStateIndeterminate);
    d = DecideActions(kind, kStateChecked | kStateIndeterminate | kStateHot, Msg(kBmSetCheck, 7));
    EXPECT_EQ(d.state, kStateHot);

    d = DecideActions(kind, 0, Msg(kBmSetState, 5));
    EXPECT_EQ(d.actionWord, kPrevPaint);
    EXPECT_EQ(d.state, kStatePressed);
    EXPECT_EQ(DecideActions(kind, kStatePressed, Msg(kBmSetState, 0)).state, 0u);

    d = DecideActions(kind, 0, Msg(kBmSetStyle, 0x50010001));
    EXPECT_EQ(d.actionWord, kPrevPaint);
    EXPECT_EQ(d.state, kStateDefault);
    EXPECT_EQ(DecideActions(kind, kStateDefault, Msg(kBmSetStyle, 0x50010000)).state, 0u);
  }
}

TEST(ActionWord, EditRules) {
  for (uint32_t m : {kWmPaint, kWmNcPaint, kWmHScroll, kWmVScroll}) {
    EXPECT_EQ(DecideActions(kKindEdit, 0, Msg(m)).actionWord, kPrevPaint) << m;
  }
  StyleDecision d = DecideActions(kKindEdit, 0, Msg(kWmNcMouseMove));
  EXPECT_EQ(d.actionWord, kDefPaint);
  EXPECT_EQ(d.state, kStateHot);
  EXPECT_FALSE(d.trackMouseLeave);
  // Already hot: not listed, so the common rules and the previous procedure.
  d = DecideActions(kKindEdit, kStateHot, Msg(kWmNcMouseMove));
  EXPECT_EQ(d.actionWord, kCommonPrev);
  EXPECT_EQ(d.state, kStateHot);

  d = DecideActions(kKindEdit, kStateHot, Msg(kWmMouseLeave));
  EXPECT_EQ(d.actionWord, kDefPaint);
  EXPECT_EQ(d.state, 0u);
  d = DecideActions(kKindEdit, 0, Msg(kWmMouseLeave));
  EXPECT_EQ(d.actionWord, kCommonPrev | kActionPreviousAfter);
}

TEST(ActionWord, ComboBoxRules) {
  EXPECT_EQ(DecideActions(kKindComboBox, 0, Msg(kWmPaint)).actionWord, kPrevPaint);
  EXPECT_EQ(DecideActions(kKindComboBox, 0, Msg(kWmNcPaint)).actionWord, kPrevPaint);
  StyleDecision d = DecideActions(kKindComboBox, 0, Msg(kWmLButtonDown));
  EXPECT_EQ(d.actionWord, kPrevPaint);
  EXPECT_EQ(d.state, kStatePressed);
  d = DecideActions(kKindComboBox, kStatePressed, Msg(kWmLButtonUp));
  EXPECT_EQ(d.actionWord, kPrevPaint);
  EXPECT_EQ(d.state, 0u);
}

TEST(ActionWord, UpDownRules) {
  EXPECT_EQ(DecideActions(kKindUpDown, 0, Msg(kWmPaint)).actionWord, kDefPaint);
  EXPECT_EQ(DecideActions(kKindUpDown, 0, Msg(kWmNcPaint)).actionWord, kDefPaint);
  const StyleDecision erase = DecideActions(kKindUpDown, 0, Msg(kWmEraseBkgnd));
  EXPECT_TRUE(ReturnsFixedValue(erase.actionWord));
  EXPECT_EQ(FixedValue(erase.actionWord), 1u);
  EXPECT_EQ(erase.actionWord & (kActionPreviousBefore | kActionDefaultBefore | kActionPaint), 0u);

  // Vertical, client 20 x 40: the upper half is the first.
  const uint32_t hot = kStateHot;
  StyleDecision d = DecideActions(kKindUpDown, hot, Msg(kWmMouseMove, 0, Point(5, 10)));
  EXPECT_EQ(d.state, hot | kStateFirstHalf);
  EXPECT_EQ(d.actionWord, kActionCommonRules | kPrevPaint | kActionPreviousAfter);
  d = DecideActions(kKindUpDown, hot | kStateFirstHalf, Msg(kWmMouseMove, 0, Point(5, 10)));
  EXPECT_EQ(d.actionWord, kActionCommonRules | kActionPreviousAfter);
  d = DecideActions(kKindUpDown, hot | kStateFirstHalf, Msg(kWmMouseMove, 0, Point(5, 30)));
  EXPECT_EQ(d.state, hot);
  EXPECT_EQ(d.actionWord & kActionPaint, kActionPaint);
  // Horizontal: the left half.
  const uint32_t horz = hot | kStateHorizontal;
  EXPECT_EQ(DecideActions(kKindUpDown, horz, Msg(kWmMouseMove, 0, Point(3, 35))).state,
            horz | kStateFirstHalf);
  EXPECT_EQ(DecideActions(kKindUpDown, horz, Msg(kWmMouseMove, 0, Point(15, 2))).state, horz);
  // First entry: the common rule turns hot on as well.
  d = DecideActions(kKindUpDown, 0, Msg(kWmMouseMove, 0, Point(5, 30)));
  EXPECT_EQ(d.state, kStateHot);
  EXPECT_EQ(d.actionWord, kActionCommonRules | kPrevPaint);
  EXPECT_TRUE(d.trackMouseLeave);

  d = DecideActions(kKindUpDown, kStatePressed, Msg(kWmLButtonUp));
  EXPECT_EQ(d.actionWord, kPrevPaint);
  EXPECT_EQ(d.state, 0u);
}

TEST(ActionWord, GroupBoxRules) {
  EXPECT_EQ(DecideActions(kKindGroupBox, 0, Msg(kWmPaint)).actionWord, kDefPaint);
  EXPECT_EQ(DecideActions(kKindGroupBox, 0, Msg(kWmNcPaint)).actionWord, kDefPaint);
  EXPECT_EQ(DecideActions(kKindGroupBox, 0, Msg(kWmSetText)).actionWord, kCommonPrev);
}

TEST(ActionWord, UnlistedMessagesGetCommonRulesThenPrevious) {
  EXPECT_EQ(DecideActions(kKindPushButton, 0, Msg(kWmNcPaint)).actionWord, kCommonPrev);
  EXPECT_EQ(DecideActions(kKindEdit, 0, Msg(kWmSetText)).actionWord, kCommonPrev);
  EXPECT_EQ(DecideActions(kKindComboList, 0, Msg(kWmPaint)).actionWord, kCommonPrev);
  EXPECT_EQ(DecideActions(kKindComboBox, 0, Msg(kWmLButtonUp + 1)).actionWord, kCommonPrev);
}

TEST(ActionWord, CommonFocusAndEnableRules) {
  for (ControlKind kind : {kKindPushButton, kKindEdit, kKindComboBox, kKindComboList}) {
    SCOPED_TRACE(kind);
    StyleDecision d = DecideActions(kind, 0, Msg(kWmSetFocus));
    EXPECT_EQ(d.actionWord, kCommonPrev | kPrevPaint);
    EXPECT_EQ(d.state, kStateFocused);
    d = DecideActions(kind, kStateFocused | kStateHot, Msg(kWmKillFocus));
    EXPECT_EQ(d.actionWord, kCommonPrev | kPrevPaint);
    EXPECT_EQ(d.state, kStateHot);
    d = DecideActions(kind, 0, Msg(kWmEnable, 0));
    EXPECT_EQ(d.actionWord, kCommonPrev | kPrevPaint);
    EXPECT_EQ(d.state, kStateDisabled);
    EXPECT_EQ(DecideActions(kind, kStateDisabled, Msg(kWmEnable, 1)).state, 0u);
  }
}

TEST(ActionWord, CommonMouseRules) {
  StyleDecision d = DecideActions(kKindPushButton, 0, Msg(kWmMouseMove, 0, Point(3, 3)));
  EXPECT_EQ(d.actionWord, kCommonPrev | kPrevPaint);
  EXPECT_EQ(d.state, kStateHot);
  EXPECT_TRUE(d.trackMouseLeave);
  // Left button down: no hot change, the previous procedure after.
  d = DecideActions(kKindPushButton, 0, Msg(kWmMouseMove, kMkLButton, Point(3, 3)));
  EXPECT_EQ(d.actionWord, kCommonPrev | kActionPreviousAfter);
  EXPECT_EQ(d.state, 0u);
  EXPECT_FALSE(d.trackMouseLeave);
  d = DecideActions(kKindPushButton, kStateHot, Msg(kWmMouseMove, 0, Point(3, 3)));
  EXPECT_EQ(d.actionWord, kCommonPrev | kActionPreviousAfter);
  EXPECT_FALSE(d.trackMouseLeave);

  d = DecideActions(kKindPushButton, kStateHot | kStatePressed, Msg(kWmMouseLeave));
  EXPECT_EQ(d.actionWord, kCommonPrev | kPrevPaint);
  EXPECT_EQ(d.state, kStatePressed);
  d = DecideActions(kKindPushButton, 0, Msg(kWmMouseLeave));
  EXPECT_EQ(d.actionWord, kCommonPrev | kActionPreviousAfter);
}

TEST(MessageRoute, BypassDestroyAndErase) {
  EXPECT_EQ(RouteMessage(kKindUpDown, kWmLButtonDown), MessageRoute::kPassThrough);
  EXPECT_EQ(RouteMessage(kKindEdit, kEmSetReadOnly), MessageRoute::kPassThrough);
  EXPECT_EQ(RouteMessage(kKindComboBox, kWmLButtonDown), MessageRoute::kDecide);
  EXPECT_EQ(RouteMessage(kKindPushButton, kEmSetReadOnly), MessageRoute::kDecide);
  EXPECT_EQ(RouteMessage(kKindPushButton, kWmDestroy), MessageRoute::kDetachAfter);
  EXPECT_EQ(RouteMessage(kKindEdit, kWmEraseBkgnd), MessageRoute::kCaptureThenDecide);
  EXPECT_EQ(RouteMessage(kKindEdit, kWmPaint), MessageRoute::kDecide);
}

}  // namespace
}  // namespace vantorico::style
