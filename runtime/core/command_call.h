#pragma once
// How a handler calls a library command: the result slot is zeroed, the
// command fills it, and the caller gets it back.
#include "base/arg_slot.h"
#include "runtime/core/program_end.h"

namespace vantorico {

inline ArgSlot CallCommandWithSlots(LibraryCommand command, int count, ArgSlot* slots) {
  ArgSlot result{0, 0, 0};
  command(&result, count, slots);
  return result;
}

template <typename... Slots>
ArgSlot CallCoreCommand(LibraryCommand command, int count, Slots... slots) {
  ArgSlot array[] = {slots..., OmittedSlot()};
  return CallCommandWithSlots(command, count, array);
}

// The library index documents which library the command belongs to; the
// command itself is called directly.
template <typename... Slots>
ArgSlot CallLibraryCommand(LibraryIndex /*library*/, LibraryCommand command, int count,
                           Slots... slots) {
  ArgSlot array[] = {slots..., OmittedSlot()};
  return CallCommandWithSlots(command, count, array);
}

}  // namespace vantorico
