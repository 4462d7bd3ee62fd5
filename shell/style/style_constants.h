#pragma once
// Every fixed number of the visual style: state flags, control kinds, action
// word bits, the window messages and style bits the style reads (the portable
// code has no windows.h), and the painters' sizes.
#include <cstdint>

namespace vantorico::style {

// Schemes that switch the style on.
constexpr int kFirstScheme = 1;
constexpr int kLastScheme = 3;
constexpr int kSchemeCount = 3;

// StyledControl state flags.
constexpr uint32_t kStateDisabled = 0x1;
constexpr uint32_t kStatePressed = 0x2;
constexpr uint32_t kStateHot = 0x4;
constexpr uint32_t kStateFocused = 0x10;
constexpr uint32_t kStateHorizontal = 0x20;
constexpr uint32_t kStateComboDropDown = 0x2000;
constexpr uint32_t kStateComboDropDownList = 0x4000;
constexpr uint32_t kStateDefault = 0x10000;     // push button
constexpr uint32_t kStateFirstHalf = 0x10000;   // up-down: mouse over its first half
constexpr uint32_t kStateBuddyLeft = 0x10000;   // edit: up-down attached on its left
constexpr uint32_t kStateChecked = 0x20000;     // buttons
constexpr uint32_t kStateBuddyRight = 0x20000;  // edit: up-down attached on its right
constexpr uint32_t kStateIndeterminate = 0x40000;
constexpr uint32_t kStateAlignedLeft = 0x100000;
constexpr uint32_t kStateAlignedRight = 0x200000;
constexpr uint32_t kStateReadOnly = 0x10000000;

// Action word bits.
constexpr uint32_t kActionCommonRules = 0x10000;
constexpr uint32_t kActionPreviousBefore = 0x20000;
constexpr uint32_t kActionDefaultBefore = 0x40000;
constexpr uint32_t kActionPaint = 0x80000;
constexpr uint32_t kActionPreviousAfter = 0x100000;
constexpr uint32_t kActionDefaultAfter = 0x200000;
constexpr uint32_t kActionReturnFixed = 0x800000;
constexpr uint32_t kActionFixedResultMask = 0xFFFF;
// A message no per-kind rule lists.
constexpr uint32_t kActionUnlisted = kActionCommonRules | kActionPreviousBefore;

// Window messages.
constexpr uint32_t kWmCreate = 0x0001;
constexpr uint32_t kWmDestroy = 0x0002;
constexpr uint32_t kWmSetFocus = 0x0007;
constexpr uint32_t kWmKillFocus = 0x0008;
constexpr uint32_t kWmEnable = 0x000A;
constexpr uint32_t kWmSetText = 0x000C;
constexpr uint32_t kWmPaint = 0x000F;
constexpr uint32_t kWmEraseBkgnd = 0x0014;
constexpr uint32_t kWmNcPaint = 0x0085;
constexpr uint32_t kWmNcMouseMove = 0x00A0;
constexpr uint32_t kEmSetReadOnly = 0x00CF;
constexpr uint32_t kBmSetCheck = 0x00F1;
constexpr uint32_t kBmSetState = 0x00F3;
constexpr uint32_t kBmSetStyle = 0x00F4;
constexpr uint32_t kWmHScroll = 0x0114;
constexpr uint32_t kWmVScroll = 0x0115;
constexpr uint32_t kWmMouseMove = 0x0200;
constexpr uint32_t kWmLButtonDown = 0x0201;
constexpr uint32_t kWmLButtonUp = 0x0202;
constexpr uint32_t kWmMouseLeave = 0x02A3;
constexpr uint32_t kMkLButton = 0x0001;

// BM_GETCHECK answers.
constexpr int kBstChecked = 1;
constexpr int kBstIndeterminate = 2;

// Window and control style bits.
constexpr uint32_t kWsDisabled = 0x08000000;
constexpr uint32_t kWsBorder = 0x00800000;
constexpr uint32_t kWsExClientEdge = 0x00000200;
constexpr uint32_t kWsExStaticEdge = 0x00020000;
constexpr uint32_t kButtonTypeMask = 0x0F;
constexpr uint32_t kBsPushButton = 0;
constexpr uint32_t kBsDefPushButton = 1;
constexpr uint32_t kBsCheckBox = 2;
constexpr uint32_t kBsAutoCheckBox = 3;
constexpr uint32_t kBsRadioButton = 4;
constexpr uint32_t kBs3State = 5;
constexpr uint32_t kBsAuto3State = 6;
constexpr uint32_t kBsGroupBox = 7;
constexpr uint32_t kBsUserButton = 8;
constexpr uint32_t kBsAutoRadioButton = 9;
constexpr uint32_t kBsFirstOwnerType = 10;  // BS_PUSHBOX, BS_OWNERDRAW and above
constexpr uint32_t kBsLeftText = 0x20;
constexpr uint32_t kBsBitmap = 0x80;
constexpr uint32_t kBsLeft = 0x0100;
constexpr uint32_t kBsRight = 0x0200;
constexpr uint32_t kBsCenter = 0x0300;
constexpr uint32_t kBsTop = 0x0400;
constexpr uint32_t kBsAlignmentMask = 0x0F00;
constexpr uint32_t kBsBottom = 0x0800;
constexpr uint32_t kBsVCenter = 0x0C00;
constexpr uint32_t kBsVerticalMask = 0x0C00;
constexpr uint32_t kBsPushLike = 0x1000;
// The one push button without text that is left alone.
constexpr uint32_t kUntakenPushButtonStyle = 0x40010000;
constexpr uint32_t kEsReadOnly = 0x0800;
constexpr uint32_t kCbsTypeMask = 0x3;
constexpr uint32_t kCbsSimple = 1;
constexpr uint32_t kCbsDropDown = 2;
constexpr uint32_t kCbsDropDownList = 3;
constexpr uint32_t kUdsAlignRight = 0x04;
constexpr uint32_t kUdsAlignLeft = 0x08;
constexpr uint32_t kUdsHorz = 0x40;

// RedrawWindow flags of attach and detach (invalidate, erase, update now, erase
// now, frame).
constexpr uint32_t kRedrawCompletely = 0x705;

// Painters.
constexpr int kCaptionMaxBytes = 256;
constexpr int kCaptionLineMaxBytes = 1023;
constexpr int kCheckBoxSize = 13;
constexpr int kCheckBoxCaptionGap = 18;
constexpr int kFaceInset = 2;  // the face lies two pixels inside the state band

}  // namespace vantorico::style
