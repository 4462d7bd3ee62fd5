#include "shell/drop/drop_effect.h"

#include <initializer_list>

#include "shell/drop/drop_constants.h"

namespace vantorico {

uint32_t DropEffectFor(bool accepting, uint32_t keyState, uint32_t allowed) {
  if (!accepting) return kDropEffectNone;
  const bool control = (keyState & kKeyControl) != 0;
  const bool shift = (keyState & kKeyShift) != 0;
  if (control || shift) {
    // Ctrl+Shift asks for a link, which this target never grants.
    if (control && shift) return kDropEffectNone;
    const uint32_t choice = control ? kDropEffectCopy : kDropEffectMove;
    return (allowed & choice) ? choice : kDropEffectNone;
  }
  for (uint32_t effect : {kDropEffectCopy, kDropEffectMove, kDropEffectLink}) {
    if (allowed & effect) return effect;
  }
  return kDropEffectNone;
}

}  // namespace vantorico
