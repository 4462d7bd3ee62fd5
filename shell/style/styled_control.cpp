#include "shell/style/styled_control.h"

#include "runtime/core/memory.h"

namespace vantorico::style {
namespace {

StyledControl* g_head = nullptr;

}  // namespace

StyledControl* FindStyledControl(void* window) {
  for (StyledControl* c = g_head; c; c = c->next) {
    if (c->window == window) return c;
  }
  return nullptr;
}

StyledControl* AddStyledControl(void* window, ControlKind kind, uint32_t state) {
  auto* c = static_cast<StyledControl*>(AllocateMemory(sizeof(StyledControl)));
  *c = StyledControl{window, kind, state, 0, 0, nullptr, 0, g_head};
  g_head = c;
  return c;
}

bool RemoveStyledControl(void* window) {
  for (StyledControl** link = &g_head; *link; link = &(*link)->next) {
    if ((*link)->window == window) {
      StyledControl* found = *link;
      *link = found->next;
      FreeMemory(found);
      return true;
    }
  }
  return false;
}

StyledControl* FirstStyledControl() {
  return g_head;
}

int StyledControlCount() {
  int n = 0;
  for (StyledControl* c = g_head; c; c = c->next) ++n;
  return n;
}

}  // namespace vantorico::style
