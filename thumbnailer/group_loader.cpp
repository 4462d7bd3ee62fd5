#include "thumbnailer/group_loader.h"

#include <utility>
#include <vector>

#include "iconlib/formats/animated_file.h"
#include "iconlib/formats/cursor_resources.h"
#include "iconlib/formats/icon_constants.h"
#include "iconlib/images/image_choice.h"
#include "iconlib/images/thumbnail_pipeline.h"
#include "iconlib/formats/image_fields.h"
#include "iconlib/platform/source_descriptor.h"
#include "thumbnailer/thumbnailer_limits.h"

namespace vantorico {
namespace {

LoadStatus StatusOfOpen(OpenStatus status) {
  switch (status) {
    case OpenStatus::Opened:
      return LoadStatus::Loaded;
    case OpenStatus::NotRegularFile:
      return LoadStatus::NotRegularFile;
    case OpenStatus::NoMemory:
      return LoadStatus::NoMemory;
    case OpenStatus::Missing:
    case OpenStatus::ReadFailed:
      break;
  }
  return LoadStatus::ReadFailed;
}

// The images of a cursor group; they lie in the source's bytes.
void CursorImages(const CursorGroup& cursors, std::vector<ByteSpan>* images) {
  for (const CursorImage& c : cursors.images) images->push_back(c.image);
}

// Leaves out the images whose decoding would not fit the worker's working
// set for a thumbnail of size, by the size their own headers claim.
LoadStatus KeepWithinWorkingSet(uint32_t size, std::vector<ByteSpan>* images) {
  if (images->empty()) return LoadStatus::NoIcon;
  std::vector<ByteSpan> kept;
  for (const ByteSpan& image : *images) {
    const ImageDescription d = DescribeImage(image);
    if (!d.usable || !DecodedWhole(image, size, SmallImages::KeepSize) ||
        uint64_t{d.width} * d.height <= kThumbnailerMaxImagePixels) {
      kept.push_back(image);
    }
  }
  images->swap(kept);
  return images->empty() ? LoadStatus::ImagesTooLarge : LoadStatus::Loaded;
}

}  // namespace

const char* LoadStatusText(LoadStatus status) {
  switch (status) {
    case LoadStatus::Loaded:
      return "read";
    case LoadStatus::NotProgramOrIcon:
      return "not a program, icon or cursor file";
    case LoadStatus::NoIcon:
      return "no icon";
    case LoadStatus::ImagesTooLarge:
      return "every image is larger than the thumbnailer decodes";
    case LoadStatus::NotRegularFile:
      return "not a regular file";
    case LoadStatus::ReadFailed:
      return "cannot be read";
    case LoadStatus::NoMemory:
      return "not enough memory";
  }
  return "unknown";
}

ThumbnailImages LoadFirstGroupImages(int fd, const char* name, uint32_t size) {
  ThumbnailImages out;
  // A module is read by range: its headers, its resource directory and the
  // first group's images, whatever the file's size.
  OpenedSource opened = IconSource::OpenBytes(name, ByteSourceOfDescriptor(fd));
  if (!opened.source) {
    out.status =
        opened.notProgramOrIcon ? LoadStatus::NotProgramOrIcon : StatusOfOpen(opened.status);
    out.error = opened.error;
    return out;
  }
  out.source = std::move(opened.source);
  // A cursor file's images; an animated file's first frame.
  if (out.source->kind() == SourceKind::CursorFile ||
      out.source->kind() == SourceKind::AnimatedFile) {
    CursorGroup cursors;
    ByteSpan bytes;
    AnimatedFile ani;
    const bool read =
        out.source->kind() == SourceKind::CursorFile
            ? out.source->ReadCursors(1, &cursors) == GroupFailure::None
            : out.source->AnimatedBytes(kResourceTypeAniCursor, 1, &bytes) == GroupFailure::None &&
                  ReadAnimatedFile(bytes, &ani) == AnimatedFailure::None && !ani.frames.empty() &&
                  ReadIconOrCursorFile(ani.frames[0], &cursors);
    if (!read) {
      out.status = LoadStatus::NotProgramOrIcon;
      return out;
    }
    CursorImages(cursors, &out.images);
    out.status = KeepWithinWorkingSet(size, &out.images);
    return out;
  }
  // The first group is the one a file manager shows; a damaged first group
  // gives way to the next readable one.
  for (int32_t i = 1; i <= out.source->GroupCount(); ++i) {
    GroupRead read = out.source->ReadGroup(i);
    if (!read.set || read.set->imageCount == 0) continue;
    out.set = std::move(read.set);
    for (uint32_t k = 0; k < out.set->imageCount; ++k) {
      out.images.push_back(ImageBytes(out.set->images[k]));
    }
    out.status = KeepWithinWorkingSet(size, &out.images);
    return out;
  }
  out.status = LoadStatus::NoIcon;
  return out;
}

}  // namespace vantorico
