#include "shell/style/control_kind.h"

#include <gtest/gtest.h>

#include <string>

namespace vantorico::style {
namespace {

struct KindCase {
  const char* className;
  uint32_t style;
  const char* parent;
  bool hasText;
  ControlKind expected;
};

constexpr KindCase kKindCases[] = {
    {"ComboLBox", 0, "ComboBox", false, kKindComboList},
    {"combolbox", 0x50000000, nullptr, true, kKindComboList},
    {"Button", 0x50010000, "#32770", true, kKindPushButton},
    {"BUTTON", 0x50010001, "#32770", true, kKindPushButton},
    {"Button", 0x40010000, "#32770", true, kKindPushButton},
    {"Button", 0x40010000, "#32770", false, kKindNone},
    {"Button", 0x50010000, "#32770", false, kKindPushButton},
    {"Button", 0x40010001, "#32770", false, kKindPushButton},
    {"Button", 0x50010080, nullptr, true, kKindNone},  // BS_BITMAP
    {"Button", 0x50010008, nullptr, true, kKindNone},  // BS_USERBUTTON
    {"Button", 0x5001000A, nullptr, true, kKindNone},  // BS_PUSHBOX
    {"Button", 0x5001000B, nullptr, true, kKindNone},  // BS_OWNERDRAW
    {"Button", 0x5001000F, nullptr, true, kKindNone},
    {"Button", 0x50010002, nullptr, true, kKindCheckBox},
    {"Button", 0x50010003, nullptr, true, kKindCheckBox},
    {"Button", 0x50010005, nullptr, true, kKindCheckBox},
    {"Button", 0x50010006, nullptr, true, kKindCheckBox},
    {"Button", 0x50011003, nullptr, true, kKindPushButton},  // BS_PUSHLIKE
    {"Button", 0x50010004, nullptr, true, kKindRadioButton},
    {"Button", 0x50010009, nullptr, true, kKindRadioButton},
    {"Button", 0x50011009, nullptr, true, kKindPushButton},
    {"Button", 0x50000007, nullptr, true, kKindGroupBox},
    {"Button", 0x50000087, nullptr, true, kKindNone},
    {"Edit", 0x50810800, "MainWindow", false, kKindEdit},
    {"edit", 0, nullptr, false, kKindEdit},
    {"Edit", 0x50000000, "SysIPAddress32", false, kKindNone},
    {"Edit", 0x50000000, "sysipaddress32", false, kKindNone},
    {"ComboBox", 0x50010002, nullptr, false, kKindComboBox},
    {"ComboBox", 0x50010003, nullptr, false, kKindComboBox},
    {"ComboBox", 0x50010000, nullptr, false, kKindComboBox},
    {"ComboBox", 0x50010001, nullptr, false, kKindNone},  // CBS_SIMPLE
    {"msctls_updown32", 0x50000000, nullptr, false, kKindUpDown},
    {"ScrollBar", 0, nullptr, false, kKindScrollBar},
    {"SysMonthCal32", 0, nullptr, false, kKindMonthCalendar},
    {"SysTabControl32", 0, nullptr, false, kKindTabControl},
    {"msctls_progress32", 0, nullptr, false, kKindProgress},
    {"msctls_trackbar32", 0, nullptr, false, kKindTrackBar},
    {"msctls_hotkey32", 0, nullptr, false, kKindNone},
    {"SysIPAddress32", 0, nullptr, false, kKindNone},
    {"ListBox", 0, nullptr, false, kKindNone},
    {"SysListView32", 0, nullptr, false, kKindNone},
    {"SysTreeView32", 0, nullptr, false, kKindNone},
    {"SysDateTimePick32", 0, nullptr, false, kKindNone},
    {"Static", 0x50000000, nullptr, true, kKindNone},
    {"ButtonX", 0x50010000, nullptr, true, kKindNone},
    {"Butto", 0x50010000, nullptr, true, kKindNone},
    {nullptr, 0, nullptr, false, kKindNone},
};

TEST(ClassifyControl, FollowsTheClassAndStyleTable) {
  for (const KindCase& c : kKindCases) {
    SCOPED_TRACE(std::string(c.className ? c.className : "(null)") + " style " +
                 std::to_string(c.style) + (c.hasText ? " text" : " no text"));
    EXPECT_EQ(ClassifyControl({c.className, c.style, c.parent, c.hasText}), c.expected);
  }
}

TEST(IsAttachedKind, OnlyPaintedKinds) {
  for (int k = kKindNone; k <= kKindComboList; ++k) {
    const bool expected = (k >= 0 && k <= 5) || k == 11 || k == 12;
    EXPECT_EQ(IsAttachedKind(static_cast<ControlKind>(k)), expected) << "kind " << k;
  }
}

}  // namespace
}  // namespace vantorico::style
