#pragma once
// A source's "main icon", chosen and hashed the way RetDec does it (its
// resource_table.cpp, which follows YARA's pe module), so that our digests
// can be compared with theirs: the first icon group; among its entries whose
// directory width and height bytes are equal, the best by a fixed priority of
// (width byte, bit count), ties going to the entry whose RT_ICON comes first
// in the resource directory; when none is in the list, that first entry
// itself. The directory byte is compared as stored, so a 256-pixel entry
// (byte 0) never matches 256 in the list, as in RetDec.
#include <cstdint>
#include <string>
#include <vector>

#include "base/byte_cursor.h"
#include "iconlib/images/bitmap_export.h"

namespace vantorico {

// One entry of the group's directory, as stored.
struct MainIconEntry {
  uint8_t width = 0;   // directory byte
  uint8_t height = 0;  // directory byte
  uint16_t bitCount = 0;
  uint32_t order = 0;    // where its RT_ICON lies in the resource directory
  bool present = false;  // its RT_ICON is there and not empty
};

enum class MainIconReason {
  None,          // no entry names an image that is there
  Priority,      // the best of the priority list (priority says which)
  FirstPresent,  // nothing is in the list: the first entry whose image is there
};

struct MainIconChoice {
  MainIconReason reason = MainIconReason::None;
  size_t entry = 0;     // index into the entries
  size_t priority = 0;  // with Priority: its place in the list (0 best)
};

// The number of (width, bit count) pairs in the priority list.
size_t MainIconPriorityCount();

MainIconChoice ChooseMainIcon(const std::vector<MainIconEntry>& entries);

// RetDec's 64-bit average hash of a stored image: a DIB (40-byte header,
// 1, 4, 8, 24 or 32 bits, no compression, the height twice the width, at most
// 512 wide; colour bits only, mask and alpha ignored) or else a PNG (RGB of
// its RGBA decoding), both as rows from the bottom; reduced to 8 x 8 by box
// averages (RetDec's reduce8x8, integer means), grey = 0.299 R + 0.587 G +
// 0.114 B rounded, bit 1 where the grey is below 128, the bottom-left pixel
// the most significant bit. False when the image is none of these or smaller
// than 8 x 8. decodePng may be null.
[[nodiscard]] bool AverageHashOf(ByteSpan image, PngPixelsDecoder decodePng, uint64_t* hash);

// 16 lower-case hex digits.
std::string AverageHashText(uint64_t hash);

class IconSource;

// The main icon of a source: its first icon group's chosen entry and that
// image's stored bytes (copied). found false when the source has no icon
// group or no entry's image is there.
struct MainIcon {
  bool found = false;
  MainIconChoice choice;
  MainIconEntry entry;
  std::vector<uint8_t> bytes;
};

// Reads the first group's directory and the images it names (a module's
// RT_ICON resources, an icon file's images) without drawing on the budget:
// no more than the group's own read would.
[[nodiscard]] MainIcon FindMainIcon(IconSource& source);

}  // namespace vantorico
