#pragma once
// ExtractFileIcon: the library command that reads the index-th icon group of
// a module or an icon file and delivers it to a file or the clipboard.
#include <cstdint>

#include "base/arg_slot.h"
#include "iconlib/icon_constants.h"

namespace vantorico {

enum class SourceKind { Unsupported, IconFile, Module };
enum class OutputKind { Nothing, IconFile, BitmapFile };

// The kinds the extension keys give: "ico" / "exe", "dll", "icl" as sources,
// "ico" / "bmp" as outputs.
SourceKind SourceKindOfPath(const char* path);
OutputKind OutputKindOfPath(const char* path);

// The typed core with the kinds already decided and the arguments already
// normalised (mode 0 or 1, index at least 1). Returns the group count when
// the index names a group, else 0.
int32_t ExtractIconGroup(SourceKind source, const char* sourcePath, ExtractMode mode,
                         OutputKind output, const char* outputPath, int32_t index);

// Slots: source path (text), mode (int, optional), output path (text,
// optional), index (int, optional). The integer result goes to result->value.
void ExtractFileIcon(ArgSlot* result, int count, ArgSlot* args);

}  // namespace vantorico
