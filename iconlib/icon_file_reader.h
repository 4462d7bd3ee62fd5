#pragma once
// Reading an icon file (.ico) into a set.
#include "iconlib/file_io.h"
#include "iconlib/icon_image_set.h"

namespace vantorico {

// Opens the path for reading without sharing; none on any failure.
IconImageSet* ReadIconFile(const char* path);

// The same read over an open file; path only fills iconFilePath.
IconImageSet* ReadIconFileFrom(InputFile& file, const char* path);

}  // namespace vantorico
