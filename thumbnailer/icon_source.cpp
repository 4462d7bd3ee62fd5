#include "thumbnailer/icon_source.h"

#include <memory>

#include "iconlib/icon_file_reader.h"
#include "iconlib/icon_group_reader.h"
#include "iconlib/image_fields.h"
#include "iconlib/module_source.h"

namespace vantorico {
namespace {

bool CopyImages(IconImageSet* set, std::vector<std::vector<uint8_t>>* images) {
  if (!set) return false;
  for (uint32_t i = 0; i < set->imageCount; ++i) {
    const ByteSpan bytes = ImageBytes(set->images[i]);
    images->emplace_back(bytes.data(), bytes.data() + bytes.size());
  }
  ReleaseIconImageSet(set);
  return !images->empty();
}

}  // namespace

bool LoadFirstGroupImages(const char* path, std::vector<std::vector<uint8_t>>* images) {
  images->clear();
  // A program file first: its first group is the one a file manager shows.
  if (std::unique_ptr<ModuleSource> module = OpenModuleSource(path)) {
    const IconGroupLocation first = LocateIconGroup(*module, 1);
    if (!first.found) return false;
    return CopyImages(ReadIconGroupFrom(*module, first.name, path), images);
  }
  return CopyImages(ReadIconFile(path), images);
}

}  // namespace vantorico
