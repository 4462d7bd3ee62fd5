#pragma once
// Which standard controls the style takes over, decided from the class name
// and style alone so the rule needs no window.
#include <cstdint>

namespace vantorico::style {

enum ControlKind : int {
  kKindNone = -1,
  kKindPushButton = 0,
  kKindCheckBox = 1,
  kKindRadioButton = 2,
  kKindEdit = 3,
  kKindComboBox = 4,
  kKindUpDown = 5,
  kKindScrollBar = 6,
  kKindMonthCalendar = 7,
  kKindTabControl = 8,
  kKindProgress = 9,
  kKindTrackBar = 10,
  kKindGroupBox = 11,
  kKindComboList = 12,
};

struct ControlFacts {
  const char* className;
  uint32_t style;
  const char* parentClassName;  // null when there is no parent
  bool hasText;
};

ControlKind ClassifyControl(const ControlFacts& facts);

// Kinds 0 to 5, 11 and 12.
bool IsAttachedKind(ControlKind kind);

}  // namespace vantorico::style
