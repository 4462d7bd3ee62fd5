#include "shell/style/control_kind.h"

#include <cstddef>

#include "base/dbcs.h"
#include "shell/style/style_constants.h"

namespace vantorico::style {
namespace {

bool SameName(const char* a, const char* b) {
  if (!a || !b) return false;
  for (; *a && *b; ++a, ++b) {
    if (AsciiToLower(*a) != AsciiToLower(*b)) return false;
  }
  return *a == *b;
}

ControlKind ClassifyButton(const ControlFacts& facts) {
  const uint32_t type = facts.style & kButtonTypeMask;
  if ((facts.style & kBsBitmap) || type == kBsUserButton || type >= kBsFirstOwnerType) {
    return kKindNone;
  }
  const bool push_like = (facts.style & kBsPushLike) != 0;
  switch (type) {
    case kBsPushButton:
    case kBsDefPushButton:
      if (!facts.hasText && facts.style == kUntakenPushButtonStyle) return kKindNone;
      return kKindPushButton;
    case kBsCheckBox:
    case kBsAutoCheckBox:
    case kBs3State:
    case kBsAuto3State:
      return push_like ? kKindPushButton : kKindCheckBox;
    case kBsRadioButton:
    case kBsAutoRadioButton:
      return push_like ? kKindPushButton : kKindRadioButton;
    case kBsGroupBox:
      return kKindGroupBox;
    default:
      return kKindNone;
  }
}

ControlKind ClassifyEdit(const ControlFacts& facts) {
  return SameName(facts.parentClassName, "SysIPAddress32") ? kKindNone : kKindEdit;
}

ControlKind ClassifyComboBox(const ControlFacts& facts) {
  return (facts.style & kCbsTypeMask) == kCbsSimple ? kKindNone : kKindComboBox;
}

struct ClassRule {
  const char* className;
  ControlKind kind;                                  // when no decide function
  ControlKind (*decide)(const ControlFacts& facts);  // style-dependent classes
};

constexpr ClassRule kClassRules[] = {
    {"ComboLBox", kKindComboList, nullptr},
    {"Button", kKindNone, ClassifyButton},
    {"Edit", kKindNone, ClassifyEdit},
    {"ComboBox", kKindNone, ClassifyComboBox},
    {"msctls_updown32", kKindUpDown, nullptr},
    {"ScrollBar", kKindScrollBar, nullptr},
    {"SysMonthCal32", kKindMonthCalendar, nullptr},
    {"SysTabControl32", kKindTabControl, nullptr},
    {"msctls_progress32", kKindProgress, nullptr},
    {"msctls_trackbar32", kKindTrackBar, nullptr},
};

}  // namespace

ControlKind ClassifyControl(const ControlFacts& facts) {
  for (const ClassRule& rule : kClassRules) {
    if (SameName(facts.className, rule.className)) {
      return rule.decide ? rule.decide(facts) : rule.kind;
    }
  }
  return kKindNone;
}

bool IsAttachedKind(ControlKind kind) {
  return (kind >= kKindPushButton && kind <= kKindUpDown) || kind == kKindGroupBox ||
         kind == kKindComboList;
}

}  // namespace vantorico::style
