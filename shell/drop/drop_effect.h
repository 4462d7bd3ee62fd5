#pragma once
// The effect a drop target reports back, from the keys held and the effects
// the drag source allows.
#include <cstdint>

namespace vantorico {

uint32_t DropEffectFor(bool accepting, uint32_t keyState, uint32_t allowedEffects);

}  // namespace vantorico
