#pragma once
// The portable rules of ShowMessageBox: the style the system gets, the text a
// slot shows, and the mapping of the system's answer.
#include <cstdint>
#include <string>

#include "base/arg_slot.h"

namespace vantorico {

// The platform's numbers (MB_SYSTEMMODAL, MB_TASKMODAL, IDOK, IDNO).
constexpr uint32_t kMbSystemModal = 0x1000;
constexpr uint32_t kMbTaskModal = 0x2000;
constexpr int kFirstAnswer = 1;  // IDOK
constexpr int kLastAnswer = 7;   // IDNO

// Task-modal is added unless the value asks for system-modal.
uint32_t MessageBoxStyle(uint32_t buttons);

// IDOK..IDNO (1..7) become 0..6; anything else 0.
int MapMessageBoxResult(int system_answer);

// Text of the first argument: numbers, bool and date-time formatted, a text as
// it is (null = empty); anything else empty.
std::string MessageBoxText(const ArgSlot& slot);

// The caption: the third argument's text when present, else "信息：".
std::string MessageBoxCaption(const ArgSlot* caption_slot);

}  // namespace vantorico
