#pragma once
// Cursors of a module: a cursor group (RT_GROUP_CURSOR) names RT_CURSOR
// resources, each the hotspot (x, y as two 16-bit values) followed by the
// image (a DIB whose height counts colour and mask, or rarely a PNG). They
// become cursor files (.cur): the icon file's layout with type 2, whose
// directory entries carry the hotspot where an icon's carry planes and bit
// count. Animated cursors and icons (RT_ANICURSOR, RT_ANIICON) are RIFF
// "ACON" files stored whole, written as .ani byte for byte.
#include <cstdint>
#include <vector>

#include "base/byte_cursor.h"
#include "iconlib/formats/icon_constants.h"
#include "iconlib/formats/icon_group_reader.h"
#include "iconlib/formats/module_source.h"

namespace vantorico {

constexpr uint16_t kResourceTypeCursor = 1;        // RT_CURSOR
constexpr uint16_t kResourceTypeGroupCursor = 12;  // RT_GROUP_CURSOR
constexpr uint16_t kResourceTypeAniCursor = 21;    // RT_ANICURSOR
constexpr uint16_t kResourceTypeAniIcon = 22;      // RT_ANIICON

constexpr uint16_t kCursorFileType = 2;
constexpr size_t kCursorHotspotSize = 4;
constexpr size_t kCursorFileEntrySize = 16;
constexpr size_t kRiffHeaderSize = 12;  // "RIFF", the size, the form

struct CursorImage {
  uint16_t hotspotX = 0;
  uint16_t hotspotY = 0;
  int32_t width = 0;   // pixels
  int32_t height = 0;  // pixels of the image (not the stored, doubled height)
  uint16_t bitCount = 0;
  bool png = false;
  ByteSpan image;  // the image without the hotspot; it lies in the module's bytes
};

struct CursorGroup {
  std::vector<CursorImage> images;
  bool icons = false;  // read from an icon file: the images have no hotspot
  uint64_t bytes() const;
};

// Reads the cursor group at a position in enumeration order; its images
// together may hold at most byteLimit bytes. GroupFailure::None on success.
[[nodiscard]] GroupFailure ReadCursorGroupAt(ModuleSource& module, uint32_t ordinal,
                                             uint64_t byteLimit, CursorGroup* out);

// The bytes of a cursor file holding the group's images in order; false
// when the file would pass what its 32-bit offsets address or memory fails.
[[nodiscard]] bool BuildCursorFile(const CursorGroup& group, std::vector<uint8_t>* out);

// Reads a cursor file's directory: every entry's hotspot and image, the
// images' spans lying inside file. False when it is not a cursor file, an
// entry's image lies past its end, or the images together pass byteLimit.
[[nodiscard]] bool ReadCursorFile(ByteSpan file, CursorGroup* out,
                                  uint64_t byteLimit = kMaxIconFileImageBytes);
// The same for a cursor file or an icon file (an animated file's frame).
[[nodiscard]] bool ReadIconOrCursorFile(ByteSpan file, CursorGroup* out,
                                        uint64_t byteLimit = kMaxIconFileImageBytes);

// RIFF ... "ACON": the form of an animated cursor or icon.
bool IsAnimatedCursorBytes(ByteSpan bytes);

}  // namespace vantorico
