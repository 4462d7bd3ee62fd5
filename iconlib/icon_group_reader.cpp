#include "iconlib/icon_group_reader.h"

#include <cstring>

#include "base/heap.h"
#include "iconlib/image_fields.h"

namespace vantorico {
namespace {

// The RT_ICON id of a group directory's entry i, which the caller has checked.
ResourceName ImageName(const ByteCursor& directory, uint32_t i) {
  ResourceName name;
  directory.PeekU16At(kGroupHeaderSize + i * kGroupEntrySize + kGroupEntryIdOffset, &name.id);
  return name;
}

}  // namespace

IconGroupLocation LocateIconGroup(ModuleSource& module, int32_t index) {
  IconGroupLocation location;
  int32_t running = 0;
  const bool listed = module.EnumerateNames(kResourceTypeGroupIcon, [&](const ResourceName& name) {
    ++running;
    if (running == index) {
      location.found = true;
      location.name = name;
    }
    return true;
  });
  if (!listed) return IconGroupLocation();
  location.groupCount = running;
  return location;
}

IconImageSet* ReadIconGroupFrom(ModuleSource& module, const ResourceName& name,
                                const char* modulePath) {
  ByteSpan group;
  if (!module.FindResourceBytes(name, kResourceTypeGroupIcon, &group)) return nullptr;
  const ByteCursor directory(group);
  uint16_t count = 0;
  if (!directory.PeekU16At(kGroupCountOffset, &count)) return nullptr;
  // A directory shorter than its count says cannot be read without reading past it.
  if (!group.Contains(kGroupHeaderSize, size_t{count} * kGroupEntrySize)) return nullptr;
  // Every image must be found, and all of them together stay under the cap,
  // before anything is allocated: a group may name one large image 65535 times.
  uint64_t total = 0;
  for (uint32_t i = 0; i < count; ++i) {
    ByteSpan image;
    if (!module.FindResourceBytes(ImageName(directory, i), kResourceTypeIcon, &image)) {
      return nullptr;
    }
    total += image.size();
  }
  if (total > kMaxGroupImageBytes) return nullptr;
  IconImageSet* set = AllocateIconImageSet(count, "", modulePath);
  if (!set) return nullptr;
  for (uint32_t i = 0; i < count; ++i) {
    ByteSpan image;
    if (!module.FindResourceBytes(ImageName(directory, i), kResourceTypeIcon, &image)) {
      ReleaseIconImageSet(set);
      return nullptr;
    }
    IconImageEntry& entry = set->images[i];
    entry.data = static_cast<uint8_t*>(HeapTryAllocate(image.size()));
    if (!entry.data) {
      ReleaseIconImageSet(set);
      return nullptr;
    }
    if (!image.empty()) std::memcpy(entry.data, image.data(), image.size());
    entry.dataSize = static_cast<uint32_t>(image.size());
    DeriveImageFields(&entry);
  }
  return set;
}

IconImageSet* ReadIconGroup(const char* modulePath, const ResourceName* name) {
  std::unique_ptr<ModuleSource> module = OpenModuleSource(modulePath);
  if (!module || !name) return nullptr;
  return ReadIconGroupFrom(*module, *name, modulePath);
}

}  // namespace vantorico
