#pragma once
// Writing one image as a bitmap file (.bmp): file header, info header,
// palette and colour rows; the mask is left out.
#include <vector>

#include "iconlib/formats/icon_image_set.h"

namespace vantorico {

// The file's bytes; false (a refusal) for an image that is PNG or not a DIB
// whose rows lie inside its data.
[[nodiscard]] bool BuildBitmapFile(const IconImageEntry& entry, std::vector<uint8_t>* out);

}  // namespace vantorico
