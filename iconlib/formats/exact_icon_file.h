#pragma once
// An icon group as an .ico file with each image exactly as the source stores
// it: only the directory is built. The default file (icon_file_writer.h)
// writes every DIB's biSizeImage as 0; this one changes no image byte, so
// its images hash as the stored resources do.
#include <cstdint>
#include <vector>

#include "base/byte_cursor.h"
#include "iconlib/formats/icon_image_set.h"

namespace vantorico {

// Directory entries as BuildIconFile makes them (from the images' own
// headers). False when the file would pass 4 GB or memory fails.
[[nodiscard]] bool BuildExactIconFile(const IconImageSet& set, std::vector<uint8_t>* out);

// Directory entries taken from the group's stored directory (an
// RT_GROUP_ICON resource): each entry's first 12 bytes as stored, then the
// file offset, as other extractors write them. False as above, or when the
// stored directory does not hold one whole entry per image.
[[nodiscard]] bool BuildStoredDirectoryIconFile(const IconImageSet& set, ByteSpan groupDirectory,
                                                std::vector<uint8_t>* out);

}  // namespace vantorico
