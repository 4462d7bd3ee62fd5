#pragma once
// Icons made from the bytes of an icon file, for the tray and for a window's
// title-bar icons.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/win_handles.h"

namespace vantorico {

// preferLarge false prefers 16-pixel images, true 32-pixel ones (see
// ChooseIconImage). None for unusable data.
UniqueIcon MakeIconFromIcoBytes(const uint8_t* bytes, int32_t length, bool preferLarge);

// The whole file at path (read with shared read access); empty for an empty
// or null path, a file that cannot be read, or an empty file.
std::vector<uint8_t> ReadIconFileBytes(const char* path);

}  // namespace vantorico
