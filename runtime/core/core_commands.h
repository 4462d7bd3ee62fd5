#pragma once
// Core library commands of this layer, called through CallCoreCommand.
#include "base/arg_slot.h"

namespace vantorico {

// One slot of any type -> its text (null for the empty text).
void ToText(ArgSlot* result, int count, ArgSlot* args);

// (text, buttons = 0, caption = "信息：") -> the button chosen, 0..6.
void ShowMessageBox(ArgSlot* result, int count, ArgSlot* args);

}  // namespace vantorico
