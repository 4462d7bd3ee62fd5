#include "framework/events_win.h"

#include <vector>

#include "framework/layout_constants.h"

namespace vantorico {
namespace {

const EventHandler* g_handlers = nullptr;
int g_handler_count = 0;

std::vector<WindowMessageFilter>& Filters() {
  static std::vector<WindowMessageFilter> filters;
  return filters;
}

}  // namespace

void SetEventHandlers(const EventHandler* handlers, int count) {
  g_handlers = handlers;
  g_handler_count = count;
}

void RaiseUnitEvent(const LiveUnit& unit, uint32_t event_index, ArgSlot* args, int count) {
  const UnitRecord& record = *unit.record;
  const int32_t ref = record.typeCode == kKindMenu
                          ? (event_index == kEventMenuEntryChosen ? record.menu.handlerRef : -1)
                          : record.HandlerFor(event_index);
  if (ref < 0 || ref >= g_handler_count || !g_handlers[ref]) return;
  g_handlers[ref](args, count);
}

void AddWindowMessageFilter(WindowMessageFilter filter) {
  Filters().push_back(filter);
}

bool RunWindowMessageFilters(LiveWindow& window, UINT message, WPARAM wparam, LPARAM lparam,
                             LRESULT* result) {
  for (WindowMessageFilter f : Filters()) {
    if (f(window, message, wparam, lparam, result)) return true;
  }
  return false;
}

}  // namespace vantorico
