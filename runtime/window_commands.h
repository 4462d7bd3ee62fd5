#pragma once
// Core commands that load, show, destroy and look up the program's windows,
// and the property access by index that handlers use on units.
#include <cstdint>

#include "base/arg_slot.h"

namespace vantorico {

// Property indexes common to every unit.
enum UnitProperty : int {
  kPropertyLeft = 0,
  kPropertyTop = 1,
  kPropertyWidth = 2,
  kPropertyHeight = 3,
  kPropertyTag = 4,
  kPropertyVisible = 5,
  kPropertyDisabled = 6,
  kPropertyMousePointer = 7,
  kFirstTypeProperty = 8,
};
constexpr int kPropertyContent = 8;    // EditBox
constexpr int kPropertyFileName = 10;  // CommonDlg

// (window UnitRef, parent UnitRef = none, modal = false) -> bool
void LoadWindow(ArgSlot* result, int count, ArgSlot* args);
// (window or control UnitRef, now = false)
void DestroyWindowUnit(ArgSlot* result, int count, ArgSlot* args);
// (window UnitRef) -> int handle
void GetWindowHandle(ArgSlot* result, int count, ArgSlot* args);

// Loads the start window at start-up; failure is the runtime error
// "载入启动窗口失败".
void LoadStartWindow(uint32_t window_id);

// The value comes back in a slot: int, bool, a new text (null when empty) or
// a byte set, by property. No property here has parts, so there is no
// component to choose: the whole property is read and written.
ArgSlot ReadUnitProperty(uint32_t window_id, uint32_t unit_id, int index);
// value: int or bool in value; a text as its pointer (copied; the caller keeps it).
void WriteUnitProperty(uint32_t window_id, uint32_t unit_id, int index, ArgSlot value);

}  // namespace vantorico
