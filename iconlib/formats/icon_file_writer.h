#pragma once
// Writing a set as an icon file (.ico): header, directory, images back to
// back, built in memory and written with one write.
#include <cstdint>
#include <vector>

#include "iconlib/formats/icon_image_set.h"

namespace vantorico {

// The whole file's bytes; false when they cannot be had (no memory, or a
// file past 4 GB, which no directory offset could address).
[[nodiscard]] bool BuildIconFile(const IconImageSet& set, std::vector<uint8_t>* out);

// The same file made in memory the caller has: IconFileSize gives its
// length (false past 4 GB), and WriteIconFile fills exactly that many bytes.
[[nodiscard]] bool IconFileSize(const IconImageSet& set, size_t* size);
void WriteIconFile(const IconImageSet& set, uint8_t* out);

// The 16-byte directory entry of one image at a file offset.
void BuildIconDirectoryEntry(const IconImageEntry& entry, uint32_t offset,
                             uint8_t out[kIconFileEntrySize]);

}  // namespace vantorico
