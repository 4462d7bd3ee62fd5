#include <windows.h>

#include "runtime/core/core_commands.h"
#include "runtime/core/message_box.h"

namespace vantorico {

static_assert(kMbSystemModal == MB_SYSTEMMODAL && kMbTaskModal == MB_TASKMODAL);
static_assert(kFirstAnswer == IDOK && kLastAnswer == IDNO && IDNO - IDOK == 6);

void ShowMessageBox(ArgSlot* result, int count, ArgSlot* args) {
  const ArgSlot omitted = OmittedSlot();
  const ArgSlot& text = count >= 1 ? args[0] : omitted;
  const uint32_t buttons = (count >= 2 && args[1].type != kTypeOmitted) ? args[1].value : 0;
  const std::string body = MessageBoxText(text);
  const std::string caption = MessageBoxCaption(count >= 3 ? &args[2] : nullptr);
  const int answer = MessageBoxA(nullptr, body.c_str(), caption.c_str(), MessageBoxStyle(buttons));
  *result = IntSlot(MapMessageBoxResult(answer));
}

}  // namespace vantorico
