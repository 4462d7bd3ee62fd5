#pragma once
// The visual-style library's command.
#include "base/arg_slot.h"

namespace vantorico::style {

// (scheme) -> int. 1 to 3: switch off, then on, result 1; anything else:
// switch off, result that of removing the hook (0 when the style was off).
void SetVisualStyle(ArgSlot* result, int count, ArgSlot* args);

// The int last passed to SetVisualStyle; the painters read it on every paint.
int CurrentScheme();

}  // namespace vantorico::style
