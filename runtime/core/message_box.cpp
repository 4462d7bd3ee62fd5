#include "runtime/core/message_box.h"

#include "runtime/core/runtime_texts.h"
#include "runtime/core/value_text.h"

namespace vantorico {

uint32_t MessageBoxStyle(uint32_t buttons) {
  return buttons + ((~buttons) & kMbSystemModal) * 2;
}

int MapMessageBoxResult(int system_answer) {
  if (system_answer < kFirstAnswer || system_answer > kLastAnswer) return 0;
  return system_answer - kFirstAnswer;
}

std::string MessageBoxText(const ArgSlot& slot) {
  if (slot.type == kTypeText) {
    const char* text = SlotText(slot);
    return text ? text : "";
  }
  return FormatScalarSlot(slot);
}

std::string MessageBoxCaption(const ArgSlot* caption_slot) {
  if (caption_slot && caption_slot->type != kTypeOmitted) {
    const char* text = caption_slot->type == kTypeText ? SlotText(*caption_slot) : nullptr;
    return text ? text : "";
  }
  return kTextDefaultCaption;
}

}  // namespace vantorico
