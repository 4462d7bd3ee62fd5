#include "iconlib/formats/icon_group_reader.h"

#include <cstring>
#include <new>
#include <utility>

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

// The images a group directory names, found where they lie and not copied.
GroupFailure FindGroupImages(ModuleSource& module, ByteSpan group, uint64_t byteLimit,
                             std::vector<ByteSpan>* images) {
  images->clear();
  const ByteCursor directory(group);
  uint16_t count = 0;
  if (!directory.PeekU16At(kGroupCountOffset, &count)) return GroupFailure::CutShort;
  // A directory shorter than its count says cannot be read without reading past it.
  if (!group.Contains(kGroupHeaderSize, size_t{count} * kGroupEntrySize)) {
    return GroupFailure::CutShort;
  }
  // Every image must be found, and all of them together stay under the
  // limit, before anything is allocated: a group may name one large image
  // 65535 times.
  uint64_t total = 0;
  std::vector<ByteSpan> found;
  try {
    found.reserve(count);
  } catch (const std::bad_alloc&) {
    return GroupFailure::NoMemory;
  }
  for (uint32_t i = 0; i < count; ++i) {
    ByteSpan image;
    if (!module.FindResourceBytes(ImageName(directory, i), kResourceTypeIcon, &image)) {
      return GroupFailure::MissingImage;
    }
    total += image.size();
    found.push_back(image);
  }
  if (total > byteLimit || total > kMaxGroupImageBytes) return GroupFailure::OverBudget;
  *images = std::move(found);
  return GroupFailure::None;
}

IconImageSetPtr ReadGroupDirectory(ModuleSource& module, ByteSpan group, const char* modulePath,
                                   uint64_t byteLimit, GroupFailure* why) {
  std::vector<ByteSpan> images;
  const GroupFailure failure = FindGroupImages(module, group, byteLimit, &images);
  if (failure != GroupFailure::None) return Fail(failure, why);
  return SetOfGroupImages(images, modulePath, why);
}

}  // namespace

IconImageSetPtr SetOfGroupImages(const std::vector<ByteSpan>& images, const char* modulePath,
                                 GroupFailure* why) {
  IconImageSetPtr set = AllocateIconImageSet(static_cast<uint32_t>(images.size()), "", modulePath);
  if (!set) return Fail(GroupFailure::NoMemory, why);
  for (size_t i = 0; i < images.size(); ++i) {
    IconImageEntry& entry = set->images[i];
    entry.data = static_cast<uint8_t*>(HeapTryAllocate(images[i].size()));
    if (!entry.data) return Fail(GroupFailure::NoMemory, why);
    if (!images[i].empty()) std::memcpy(entry.data, images[i].data(), images[i].size());
    entry.dataSize = static_cast<uint32_t>(images[i].size());
    DeriveImageFields(&entry);
  }
  if (why) *why = GroupFailure::None;
  return set;
}

GroupFailure FindIconGroupImagesAt(ModuleSource& module, uint32_t ordinal, uint64_t byteLimit,
                                   std::vector<ByteSpan>* images) {
  ByteSpan group;
  if (!module.BytesAt(kResourceTypeGroupIcon, ordinal, &group)) return GroupFailure::NotFound;
  return FindGroupImages(module, group, byteLimit, images);
}

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
