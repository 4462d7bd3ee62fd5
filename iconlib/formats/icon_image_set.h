#pragma once
// One icon group in memory: a fixed part and its image entries in one block.
#include <cstdint>
#include <memory>

#include "iconlib/formats/icon_constants.h"

namespace vantorico {

struct IconImageEntry {
  int32_t width;
  int32_t height;     // the stored biHeight halved
  uint32_t bitDepth;  // biPlanes x biBitCount
  uint8_t* data;      // the image's bytes as the source stores them; owned by the set
  uint32_t dataSize;
  // Views into data, set by DeriveImageFields. All three are null when the
  // image is not a DIB whose header, palette and rows fit in data.
  const uint8_t* header;
  const uint8_t* colorBits;
  const uint8_t* maskBits;
};

struct IconImageSet {
  char iconFilePath[kIconSetPathSize];
  char modulePath[kIconSetPathSize];
  uint32_t imageCount;
  IconImageEntry* images;  // imageCount entries, in the same block right after this record
};

// Frees each image's data, then the set. A null set is ignored. Only the
// owning type below calls it.
void ReleaseIconImageSet(IconImageSet* set);

struct IconImageSetRelease {
  void operator()(IconImageSet* set) const { ReleaseIconImageSet(set); }
};
// The one owner of a set: every reader hands its set out as one.
using IconImageSetPtr = std::unique_ptr<IconImageSet, IconImageSetRelease>;

// A zeroed set for count images, or null when the block cannot be had.
// Paths longer than the fields are cut at a character boundary: they only
// record where the set came from.
[[nodiscard]] IconImageSetPtr AllocateIconImageSet(uint32_t count, const char* iconFilePath,
                                                   const char* modulePath);

}  // namespace vantorico
