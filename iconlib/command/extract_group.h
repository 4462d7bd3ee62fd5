#pragma once
// Extraction of one group: read it from an opened source and deliver it to
// a file or the clipboard, saying exactly what happened.
#include <cstdint>

#include "iconlib/command/extract_result.h"
#include "iconlib/formats/icon_constants.h"
#include "iconlib/formats/icon_source.h"

namespace vantorico {

enum class OutputKind { Nothing, IconFile, BitmapFile };

// Delivers a set that has been read. File outputs replace their files
// whole, and never the source file (source, when known).
ExtractResult DeliverGroup(const IconImageSet& set, ExtractMode mode, OutputKind output,
                           const char* outputPath, const FileIdentity* source);

// Reads group index (1-based) of the source and delivers it.
ExtractResult ExtractGroup(IconSource& source, int32_t index, ExtractMode mode, OutputKind output,
                           const char* outputPath);

// The result of a read that gave no set, as an extraction's result.
ExtractResult ResultOfFailedRead(const GroupRead& read);

}  // namespace vantorico
