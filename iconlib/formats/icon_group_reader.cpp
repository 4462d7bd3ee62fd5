#include "iconlib/formats/icon_group_reader.h"

#include <cstring>

#include "base/heap.h"
#include "iconlib/formats/image_fields.h"

namespace vantorico {
namespace {

// The RT_ICON id of a group directory's entry i, which the caller has checked.
ResourceName ImageName(const ByteCursor& directory, uint32_t i) {
  ResourceName name;
  directory.PeekU16At(kGroupHeaderSize + i * kGroupEntrySize + kGroupEntryIdOffset, &name.id);
  return name;
}

IconImageSetPtr Fail(GroupFailure failure, GroupFailure* why) {
  if (why) *why = failure;
  return nullptr;
}

IconImageSetPtr ReadGroupDirectory(ModuleSource& module, ByteSpan group, const char* modulePath,
                                   uint64_t byteLimit, GroupFailure* why) {
  const ByteCursor directory(group);
  uint16_t count = 0;
  if (!directory.PeekU16At(kGroupCountOffset, &count)) return Fail(GroupFailure::CutShort, why);
  // A directory shorter than its count says cannot be read without reading past it.
  if (!group.Contains(kGroupHeaderSize, size_t{count} * kGroupEntrySize)) {
    return Fail(GroupFailure::CutShort, why);
  }
  // Every image must be found, and all of them together stay under the
  // limit, before anything is allocated: a group may name one large image
  // 65535 times.
  uint64_t total = 0;
  for (uint32_t i = 0; i < count; ++i) {
    ByteSpan image;
    if (!module.FindResourceBytes(ImageName(directory, i), kResourceTypeIcon, &image)) {
      return Fail(GroupFailure::MissingImage, why);
    }
    total += image.size();
  }
  if (total > byteLimit || total > kMaxGroupImageBytes) {
    return Fail(GroupFailure::OverBudget, why);
  }
  IconImageSetPtr set = AllocateIconImageSet(count, "", modulePath);
  if (!set) return Fail(GroupFailure::NoMemory, why);
  for (uint32_t i = 0; i < count; ++i) {
    ByteSpan image;
    if (!module.FindResourceBytes(ImageName(directory, i), kResourceTypeIcon, &image)) {
      return Fail(GroupFailure::MissingImage, why);
    }
    IconImageEntry& entry = set->images[i];
    entry.data = static_cast<uint8_t*>(HeapTryAllocate(image.size()));
    if (!entry.data) return Fail(GroupFailure::NoMemory, why);
    if (!image.empty()) std::memcpy(entry.data, image.data(), image.size());
    entry.dataSize = static_cast<uint32_t>(image.size());
    DeriveImageFields(&entry);
  }
  if (why) *why = GroupFailure::None;
  return set;
}

}  // namespace

IconGroupLocation LocateIconGroup(ModuleSource& module, int32_t index) {
  IconGroupLocation location;
  const uint32_t count = module.CountNames(kResourceTypeGroupIcon);
  if (count == 0) return location;
  location.groupCount = static_cast<int32_t>(count);
  if (index >= 1 && static_cast<uint32_t>(index) <= count) {
    location.found =
        module.NameAt(kResourceTypeGroupIcon, static_cast<uint32_t>(index - 1), &location.name);
  }
  return location;
}

IconImageSetPtr ReadIconGroupFrom(ModuleSource& module, const ResourceName& name,
                                  const char* modulePath, uint64_t byteLimit, GroupFailure* why) {
  ByteSpan group;
  if (!module.FindResourceBytes(name, kResourceTypeGroupIcon, &group)) {
    return Fail(GroupFailure::NotFound, why);
  }
  return ReadGroupDirectory(module, group, modulePath, byteLimit, why);
}

IconImageSetPtr ReadIconGroupAt(ModuleSource& module, uint32_t ordinal, const char* modulePath,
                                uint64_t byteLimit, GroupFailure* why) {
  ByteSpan group;
  if (!module.BytesAt(kResourceTypeGroupIcon, ordinal, &group)) {
    return Fail(GroupFailure::NotFound, why);
  }
  return ReadGroupDirectory(module, group, modulePath, byteLimit, why);
}

IconImageSetPtr ReadIconGroup(const char* modulePath, const ResourceName* name) {
  std::unique_ptr<ModuleSource> module = OpenModuleSource(modulePath);
  if (!module || !name) return nullptr;
  return ReadIconGroupFrom(*module, *name, modulePath);
}

}  // namespace vantorico
