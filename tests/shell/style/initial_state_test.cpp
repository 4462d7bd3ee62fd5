#include "shell/style/initial_state.h"

#include <gtest/gtest.h>

#include "shell/style/style_constants.h"

namespace vantorico::style {
namespace {

TEST(InitialState, CommonFlags) {
  EXPECT_EQ(InitialState(kKindEdit, {0x58000000, false, 0}), kStateDisabled);
  EXPECT_EQ(InitialState(kKindComboList, {0x50000000, true, 0}), kStateFocused);
}

TEST(InitialState, Buttons) {
  EXPECT_EQ(InitialState(kKindPushButton, {0x50010001, false, 0}), kStateDefault);
  EXPECT_EQ(InitialState(kKindPushButton, {0x50010000, false, 0}), 0u);
  EXPECT_EQ(InitialState(kKindCheckBox, {0x50010003, false, 1}), kStateChecked);
  EXPECT_EQ(InitialState(kKindCheckBox, {0x50010005, false, 2}), kStateIndeterminate);
  EXPECT_EQ(InitialState(kKindRadioButton, {0x50010009, false, 0}), 0u);
}

TEST(InitialState, EditComboUpDown) {
  EXPECT_EQ(InitialState(kKindEdit, {0x50000800, false, 0}), kStateReadOnly);
  EXPECT_EQ(InitialState(kKindComboBox, {0x50000002, false, 0}), kStateComboDropDown);
  EXPECT_EQ(InitialState(kKindComboBox, {0x50000003, false, 0}), kStateComboDropDownList);
  EXPECT_EQ(InitialState(kKindUpDown, {0x50000040, false, 0}), kStateHorizontal);
  EXPECT_EQ(InitialState(kKindUpDown, {0x50000800, false, 0}), 0u);
}

TEST(UpDownBuddyFlags, SideOfTheBuddy) {
  BuddyFlags left = UpDownBuddyFlags(kUdsAlignLeft);
  EXPECT_EQ(left.upDown, kStateAlignedLeft);
  EXPECT_EQ(left.edit, kStateBuddyLeft);
  BuddyFlags right = UpDownBuddyFlags(kUdsAlignRight);
  EXPECT_EQ(right.upDown, kStateAlignedRight);
  EXPECT_EQ(right.edit, kStateBuddyRight);
  BuddyFlags none = UpDownBuddyFlags(0);
  EXPECT_EQ(none.upDown, 0u);
  EXPECT_EQ(none.edit, 0u);
}

}  // namespace
}  // namespace vantorico::style
