#pragma once
// Icons made from the bytes of an icon file, for the tray and for a window's
// title-bar icons.
#include <cstdint>

#include "base/win_handles.h"

namespace vantorico {

// preferLarge false prefers 16-pixel images, true 32-pixel ones (see
// ChooseIconImage). None for unusable data.
UniqueIcon MakeIconFromIcoBytes(const uint8_t* bytes, int32_t length, bool preferLarge);

}  // namespace vantorico
