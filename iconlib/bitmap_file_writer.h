#pragma once
// Writing one image as a bitmap file (.bmp): file header, info header,
// palette and colour rows; the mask is left out.
#include "iconlib/file_io.h"
#include "iconlib/icon_image_set.h"

namespace vantorico {

// False, with nothing created, for an image that is PNG or not a DIB whose
// rows lie inside its data; otherwise true when the whole file was written.
bool WriteBitmapFile(const char* path, const IconImageEntry* entry);

}  // namespace vantorico
