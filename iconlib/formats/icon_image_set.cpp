#include "iconlib/formats/icon_image_set.h"

#include <cstring>
#include <new>

#include "base/dbcs.h"
#include "base/heap.h"

namespace vantorico {
namespace {

void CopyPath(char* field, const char* path) {
  size_t used = 0;
  if (path) {
    for (size_t i = 0; path[i] != '\0';) {
      const size_t len = CharLength(path, i);
      if (used + len >= kIconSetPathSize) break;
      std::memcpy(field + used, path + i, len);
      used += len;
      i += len;
    }
  }
  field[used] = '\0';
}

}  // namespace

IconImageSetPtr AllocateIconImageSet(uint32_t count, const char* iconFilePath,
                                     const char* modulePath) {
  static_assert(sizeof(IconImageSet) % alignof(IconImageEntry) == 0,
                "entries follow the fixed part without padding");
  // Both sources store the count in 16 bits, which also keeps the size below
  // from overflowing on a 32-bit target.
  if (count > kMaxImageCount) return nullptr;
  const size_t bytes = sizeof(IconImageSet) + size_t{count} * sizeof(IconImageEntry);
  void* block = HeapTryAllocate(bytes);
  if (!block) return nullptr;
  std::memset(block, 0, bytes);
  auto* set = new (block) IconImageSet();
  CopyPath(set->iconFilePath, iconFilePath);
  CopyPath(set->modulePath, modulePath);
  set->imageCount = count;
  set->images =
      reinterpret_cast<IconImageEntry*>(static_cast<unsigned char*>(block) + sizeof(IconImageSet));
  return IconImageSetPtr(set);
}

void ReleaseIconImageSet(IconImageSet* set) {
  if (!set) return;
  for (uint32_t i = 0; i < set->imageCount; ++i) HeapRelease(set->images[i].data);
  HeapRelease(set);
}

}  // namespace vantorico
