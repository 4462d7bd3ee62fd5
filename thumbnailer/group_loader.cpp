#include "thumbnailer/group_loader.h"

#include "iconlib/icon_source.h"
#include "iconlib/image_fields.h"

namespace vantorico {

bool LoadFirstGroupImages(const char* path, std::vector<std::vector<uint8_t>>* images) {
  images->clear();
  OpenedSource opened = IconSource::OpenByContent(path);
  if (!opened.source) return false;
  // The first group is the one a file manager shows; a damaged first group
  // gives way to the next readable one.
  for (int32_t i = 1; i <= opened.source->GroupCount(); ++i) {
    GroupRead read = opened.source->ReadGroup(i);
    if (!read.set || read.set->imageCount == 0) continue;
    for (uint32_t k = 0; k < read.set->imageCount; ++k) {
      const ByteSpan bytes = ImageBytes(read.set->images[k]);
      images->emplace_back(bytes.data(), bytes.data() + bytes.size());
    }
    return true;
  }
  return false;
}

}  // namespace vantorico
