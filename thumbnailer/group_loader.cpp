#include "thumbnailer/group_loader.h"

#include <utility>
#include <vector>

#include "iconlib/icon_constants.h"
#include "iconlib/icon_directory.h"
#include "iconlib/image_choice.h"
#include "iconlib/image_fields.h"
#include "iconlib/source_descriptor.h"
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

// A cursor file's images, as the icon directory reads them: the engine's
// icon file reader takes icons only, and a cursor's images are the same
// DIBs and PNGs. Held to the icon file reader's cap on image bytes.
bool CursorImages(ByteSpan file, std::vector<ByteSpan>* images) {
  IconDirectory directory;
  if (!IconDirectory::Read(file, /*allowCursors=*/true, &directory) ||
      directory.type() != kIconFileTypeCursor) {
    return false;
  }
  uint64_t total = 0;
  for (uint32_t i = 0; i < directory.count(); ++i) {
    IconDirectoryEntry entry;
    ByteSpan image;
    if (!directory.EntryAt(i, &entry) || !directory.ImageOf(entry, &image)) return false;
    total += image.size();
    if (total > kMaxIconFileImageBytes) return false;
    images->push_back(image);
  }
  return true;
}

// Leaves out the images whose decoding and scaling would not fit the
// worker's working set, by the size their own headers claim.
LoadStatus KeepWithinWorkingSet(std::vector<ByteSpan>* images) {
  if (images->empty()) return LoadStatus::NoIcon;
  std::vector<ByteSpan> kept;
  for (const ByteSpan& image : *images) {
    const ImageDescription d = DescribeImage(image);
    if (!d.usable || uint64_t{d.width} * d.height <= kThumbnailerMaxImagePixels) {
      kept.push_back(image);
    }
  }
  images->swap(kept);
  return images->empty() ? LoadStatus::ImagesTooLarge : LoadStatus::Loaded;
}

// The file at fd read whole when its header is a cursor file's (Opened
// without a view when it is not).
SourceFile ReadCursorFile(int fd) {
  SourceFile out;
  OpenedBytes bytes = ByteSourceOfDescriptor(fd);
  out.status = bytes.status;
  out.error = bytes.error;
  if (!bytes.source) return out;
  ReadBlock header = bytes.source->ReadAt(0, kIconFileHeaderSize);
  const ByteCursor c(header.span());
  uint16_t reserved = 1, type = 0;
  if (!header.ok() || !c.PeekU16At(0, &reserved) || !c.PeekU16At(kIconFileHeaderFieldSize, &type) ||
      reserved != kIconFileReserved || type != kIconFileTypeCursor) {
    if (bytes.source->changed()) out.status = OpenStatus::ReadFailed;
    return out;
  }
  return ReadSourceDescriptor(fd);
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

ThumbnailImages LoadFirstGroupImages(int fd, const char* name) {
  ThumbnailImages out;
  // A module is read by range: its headers, its resource directory and the
  // first group's images, whatever the file's size.
  OpenedSource opened = IconSource::OpenBytes(name, ByteSourceOfDescriptor(fd));
  if (!opened.source && opened.notProgramOrIcon && opened.status == OpenStatus::Opened) {
    // Neither a module nor an icon file: a cursor file is read whole, once
    // its header says it is one.
    SourceFile file = ReadCursorFile(fd);
    out.status = StatusOfOpen(file.status);
    out.error = file.error;
    if (!file.view) {
      if (file.status == OpenStatus::Opened) out.status = LoadStatus::NotProgramOrIcon;
      return out;
    }
    out.file = std::move(file.view);
    if (!CursorImages(out.file->bytes(), &out.images)) {
      out.status = LoadStatus::NotProgramOrIcon;
      return out;
    }
    out.status = KeepWithinWorkingSet(&out.images);
    return out;
  }
  if (!opened.source) {
    out.status =
        opened.notProgramOrIcon ? LoadStatus::NotProgramOrIcon : StatusOfOpen(opened.status);
    out.error = opened.error;
    return out;
  }
  out.source = std::move(opened.source);
  // The first group is the one a file manager shows; a damaged first group
  // gives way to the next readable one.
  for (int32_t i = 1; i <= out.source->GroupCount(); ++i) {
    GroupRead read = out.source->ReadGroup(i);
    if (!read.set || read.set->imageCount == 0) continue;
    out.set = std::move(read.set);
    for (uint32_t k = 0; k < out.set->imageCount; ++k) {
      out.images.push_back(ImageBytes(out.set->images[k]));
    }
    out.status = KeepWithinWorkingSet(&out.images);
    return out;
  }
  out.status = LoadStatus::NoIcon;
  return out;
}

}  // namespace vantorico
