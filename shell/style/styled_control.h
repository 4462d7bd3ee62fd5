#pragma once
// The per-control record and the list of attached controls (newest first).
// Handles are kept opaque so the list needs no windows.h.
#include <cstdint>

#include "shell/style/control_kind.h"

namespace vantorico::style {

struct StyledControl {
  void* window;
  ControlKind kind;
  uint32_t state;
  uint32_t backColour;
  uint32_t textColour;
  void* backBrush;  // the parent's brush at the last erase; not owned
  intptr_t previousProcedure;
  StyledControl* next;
};

// The record of a window, or null.
StyledControl* FindStyledControl(void* window);

// A new record at the head of the list, allocated from the process heap.
StyledControl* AddStyledControl(void* window, ControlKind kind, uint32_t state);

// Unlinks the record and frees it; false when the window has none.
bool RemoveStyledControl(void* window);

StyledControl* FirstStyledControl();
int StyledControlCount();

}  // namespace vantorico::style
