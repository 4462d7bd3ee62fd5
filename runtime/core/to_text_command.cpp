#include "runtime/core/core_commands.h"
#include "runtime/core/value_text.h"

namespace vantorico {

void ToText(ArgSlot* result, int count, ArgSlot* args) {
  if (count < 1 || !args) return;
  *result = TextSlot(SlotToText(args[0]));
}

}  // namespace vantorico
