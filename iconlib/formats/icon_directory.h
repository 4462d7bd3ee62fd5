#pragma once
// The directory of an icon (or cursor) file in memory: the one reader of it,
// for the icon file reader and the tray's choice of an image alike. Each
// entry and image is read through the byte cursor and checked against the
// file's bytes.
#include <cstdint>

#include "base/byte_cursor.h"

namespace vantorico {

struct IconDirectoryEntry {
  uint8_t width = 0;       // directory byte (0 for 256)
  uint8_t colorCount = 0;  // directory byte
  uint32_t imageSize = 0;
  uint32_t imageOffset = 0;
};

class IconDirectory {
 public:
  // The 6-byte header: reserved 0 and type 1 (or 2, a cursor file, when
  // cursors are allowed). False for anything else or fewer bytes.
  [[nodiscard]] static bool Read(ByteSpan file, bool allowCursors, IconDirectory* out);

  uint16_t type() const { return type_; }
  uint16_t count() const { return count_; }
  // Entry i, false when it lies past the bytes.
  [[nodiscard]] bool EntryAt(uint32_t i, IconDirectoryEntry* entry) const;
  // The image an entry names, false when it lies past the bytes.
  [[nodiscard]] bool ImageOf(const IconDirectoryEntry& entry, ByteSpan* image) const;

 private:
  ByteSpan file_;
  uint16_t type_ = 0;
  uint16_t count_ = 0;
};

}  // namespace vantorico
