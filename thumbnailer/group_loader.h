#pragma once
// The images a thumbnail is made from: the first icon group of a program
// file (PE or NE), or the images of an icon or cursor file, read through a
// descriptor the caller opened.
#include <cstdint>
#include <memory>
#include <vector>

#include "base/byte_cursor.h"
#include "iconlib/formats/icon_image_set.h"
#include "iconlib/formats/icon_source.h"

namespace vantorico {

enum class LoadStatus {
  Loaded,
  NotProgramOrIcon,  // read, but neither a module nor an icon or cursor file
  NoIcon,            // no group with images (none, or all unreadable)
  ImagesTooLarge,    // every image claims more pixels than the worker decodes whole
  NotRegularFile,
  ReadFailed,
  NoMemory,
};

const char* LoadStatusText(LoadStatus status);

// The images and the owners of the bytes they point into.
struct [[nodiscard]] ThumbnailImages {
  LoadStatus status = LoadStatus::ReadFailed;
  SystemError error;  // why, when ReadFailed
  std::vector<ByteSpan> images;

  std::unique_ptr<IconSource> source;  // a module, icon, cursor or animated file
  IconImageSetPtr set;                 // the group read from it
};

// The images of the file open at fd: a module's first readable group with
// images (a damaged first group gives way to the next), an icon file's
// images, a cursor file's, or an animated file's first frame; without those
// too large to decode for a thumbnail of size.
ThumbnailImages LoadFirstGroupImages(int fd, const char* name, uint32_t size);

}  // namespace vantorico
