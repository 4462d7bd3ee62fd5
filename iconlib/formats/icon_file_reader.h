#pragma once
// Reading an icon file (.ico) into a set.
#include "base/byte_cursor.h"
#include "iconlib/formats/icon_constants.h"
#include "iconlib/formats/icon_image_set.h"

namespace vantorico {

// Reads the file whole (opened without sharing), then its group; none on
// any failure.
[[nodiscard]] IconImageSetPtr ReadIconFile(const char* path);

// The same read over a file's bytes; path only fills iconFilePath. The
// images together may hold at most byteLimit bytes.
[[nodiscard]] IconImageSetPtr ReadIconFileBytes(ByteSpan file, const char* path,
                                                uint64_t byteLimit = kMaxIconFileImageBytes);

}  // namespace vantorico
