#pragma once
// Unit events: a window message becomes an event of a unit, and the handler
// that the layout binds to it runs with the event's arguments.
#include <windows.h>

#include "base/arg_slot.h"
#include "framework/window_table_win.h"

namespace vantorico {

using EventHandler = void (*)(ArgSlot* args, int count);

// The program's handlers, indexed by the layout's handler references.
void SetEventHandlers(const EventHandler* handlers, int count);

// Runs the handler bound to the event, if any.
void RaiseUnitEvent(const LiveUnit& unit, uint32_t event_index, ArgSlot* args = nullptr,
                    int count = 0);

// Libraries above the framework see every message of a loaded window first;
// a filter that handles one sets *result and returns true.
using WindowMessageFilter = bool (*)(LiveWindow& window, UINT message, WPARAM wparam, LPARAM lparam,
                                     LRESULT* result);
void AddWindowMessageFilter(WindowMessageFilter filter);
bool RunWindowMessageFilters(LiveWindow& window, UINT message, WPARAM wparam, LPARAM lparam,
                             LRESULT* result);

}  // namespace vantorico
