#pragma once
// Writing a set as an icon file (.ico): header, directory, images back to
// back, built in memory and written with one write.
#include <cstdint>
#include <vector>

#include "iconlib/file_io.h"
#include "iconlib/icon_image_set.h"

namespace vantorico {

// The whole file's bytes; false when they cannot be had (no memory, or a
// file past 4 GB, which no directory offset could address).
[[nodiscard]] bool BuildIconFile(const IconImageSet& set, std::vector<uint8_t>* out);

// Creates or replaces the file whole (see ReplaceFileWhole); never the
// source file itself when source is given.
[[nodiscard]] WriteOutcome WriteIconFile(const IconImageSet* set, const char* path,
                                         const FileIdentity* source = nullptr);

inline WriteOutcome WriteIconFile(const IconImageSetPtr& set, const char* path,
                                  const FileIdentity* source = nullptr) {
  return WriteIconFile(set.get(), path, source);
}

// Reserved 0, type 1, the low 16 bits of the count: the 6-byte header.
void AppendIconFileHeader(uint32_t imageCount, std::vector<uint8_t>* out);

// 6 + 16 x imageCount + the sizes of the images before image i.
uint32_t IconImageOffset(const IconImageSet* set, uint32_t i);

// The 16-byte directory entry of one image at a file offset.
void BuildIconDirectoryEntry(const IconImageEntry& entry, uint32_t offset,
                             uint8_t out[kIconFileEntrySize]);

}  // namespace vantorico
