#pragma once
// Writing a set as an icon file (.ico): header, directory, images back to back.
#include <cstdint>

#include "iconlib/file_io.h"
#include "iconlib/icon_image_set.h"

namespace vantorico {

// Creates or replaces the file; true when all of it was written. A failed
// write leaves what was written so far.
bool WriteIconFile(const IconImageSet* set, const char* path);
bool WriteIconFileTo(const IconImageSet* set, OutputFile& file);

// Three 2-byte writes: reserved 0, type 1, the low 16 bits of the count.
bool WriteIconFileHeader(OutputFile& file, uint32_t imageCount);

// 6 + 16 x imageCount + the sizes of the images before image i.
uint32_t IconImageOffset(const IconImageSet* set, uint32_t i);

// The 16-byte directory entry of one image at a file offset.
void BuildIconDirectoryEntry(const IconImageEntry& entry, uint32_t offset,
                             uint8_t out[kIconFileEntrySize]);

}  // namespace vantorico
