#include "iconlib/formats/icon_source.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "base/heap.h"
#include "iconlib/formats/icon_file_reader.h"
#include "iconlib/formats/image_fields.h"
#include "iconlib/formats/portable_module.h"

namespace vantorico {

uint64_t OutputBudgetFor(uint64_t sourceBytes) {
  return kOutputBudgetFloor + kOutputBudgetPerSourceByte * sourceBytes;
}

uint64_t PixelBudgetFor(uint64_t sourceBytes) {
  return kPixelBudgetFloor + kPixelBudgetPerSourceByte * sourceBytes;
}

IconSource::~IconSource() = default;

class IconSource::Held {
 public:
  explicit Held(SourceGuard* guard) : guard_(guard) {
    if (guard_) guard_->Lock();
  }
  ~Held() {
    if (guard_) guard_->Unlock();
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

 private:
  SourceGuard* guard_;
};

bool IconSource::SpendBudget(uint64_t bytes) {
  const Held held(guard_);
  if (bytes > budget_) return false;
  budget_ -= bytes;
  return true;
}

bool IconSource::SpendPixels(uint64_t pixels) {
  const Held held(guard_);
  if (pixels > pixelBudget_) return false;
  pixelBudget_ -= pixels;
  return true;
}

namespace {

SourceKind KindOf(SourceReader& file) {
  if (IsPeModule(file) || IsNeModule(file)) return SourceKind::Module;
  uint16_t reserved = 1, type = 0;
  if (file.size() >= kIconFileHeaderSize && file.U16At(0, &reserved) &&
      file.U16At(kIconFileHeaderFieldSize, &type) && reserved == kIconFileReserved) {
    if (type == kIconFileTypeIcon) return SourceKind::IconFile;
    if (type == kIconFileTypeCursor) return SourceKind::CursorFile;
  }
  const ReadBlock head = file.source().ReadAt(0, kRiffHeaderSize);
  if (head.ok() && IsAnimatedCursorBytes(head.span())) return SourceKind::AnimatedFile;
  return SourceKind::Unsupported;
}

}  // namespace

SourceKind SourceKindOfBytes(ByteSpan bytes) {
  const std::unique_ptr<SourceReader> reader = ReaderOfBytes(bytes);
  return reader ? KindOf(*reader) : SourceKind::Unsupported;
}

OpenedSource OpenIconSource(const char* path, SourceKind kind, ModuleAccess access) {
  return IconSource::Open(path, kind, access);
}

OpenedSource IconSource::Open(const char* path, SourceKind kind, ModuleAccess access) {
  OpenedSource out;
  if (kind == SourceKind::Unsupported) {
    out.notProgramOrIcon = true;
    return out;
  }
  if (kind == SourceKind::Module && access == ModuleAccess::Platform) {
    std::unique_ptr<IconSource> source(new (std::nothrow) IconSource());
    if (!source) {
      out.status = OpenStatus::NoMemory;
      return out;
    }
    source->kind_ = kind;
    source->path_ = path ? path : "";
    // The loader opens the file itself; the identity is asked for apart.
    source->module_ = OpenModuleSource(path);
    if (!source->module_) {
      out.status = OpenStatus::Missing;
      out.notProgramOrIcon = true;
      return out;
    }
    FileStamp stamp;
    const uint64_t size = StampOfPath(path, &stamp) ? stamp.size : 0;
    source->budget_ = OutputBudgetFor(size);
    source->pixelBudget_ = PixelBudgetFor(size);
    if (!IdentityOfPath(path, &source->identity_)) source->identity_ = FileIdentity{};
    source->groupCount_ = static_cast<int32_t>(source->module_->CountNames(kResourceTypeGroupIcon));
    source->listedGroups_ = source->groupCount_;
    out.status = OpenStatus::Opened;
    out.source = std::move(source);
    return out;
  }
  return FromBytes(path, kind, OpenByteSource(path));
}

OpenedSource IconSource::OpenByContent(const char* path) {
  return OpenBytes(path, OpenByteSource(path));
}

OpenedSource IconSource::OpenBytes(const char* path, OpenedBytes bytes) {
  return FromBytes(path, SourceKind::Unsupported, std::move(bytes));
}

OpenedSource IconSource::OpenReadFile(const char* path, SourceFile file) {
  OpenedBytes bytes;
  bytes.status = file.status;
  bytes.error = file.error;
  if (file.view) {
    bytes.source = ByteSourceOfView(std::move(file.view));
    if (!bytes.source) bytes.status = OpenStatus::NoMemory;
  }
  return OpenBytes(path, std::move(bytes));
}

OpenedSource IconSource::FromBytes(const char* path, SourceKind kind, OpenedBytes bytes) {
  OpenedSource out;
  out.status = bytes.status;
  out.error = bytes.error;
  if (!bytes.source) return out;
  const ByteSource* raw = bytes.source.get();
  std::unique_ptr<IconSource> source(new (std::nothrow) IconSource());
  std::unique_ptr<SourceReader> reader = ReaderOf(std::move(bytes.source));
  if (!source || !reader) {
    out.status = OpenStatus::NoMemory;
    return out;
  }
  const SourceKind found = KindOf(*reader);
  if (kind == SourceKind::Unsupported) kind = found;
  if (kind == SourceKind::Unsupported) {
    out.refusal = ModuleHeaderRefusal(*reader);
    // A header that could not be read is a failed read, not a verdict on the file.
    if (raw->changed()) {
      out.status = OpenStatus::ReadFailed;
      out.error = raw->error();
      return out;
    }
    out.status = OpenStatus::Opened;
    out.notProgramOrIcon = true;
    return out;
  }
  source->kind_ = kind;
  source->path_ = path ? path : "";
  source->identity_ = raw->identity();
  source->budget_ = OutputBudgetFor(raw->size());
  source->pixelBudget_ = PixelBudgetFor(raw->size());
  if (kind == SourceKind::Module) {
    // Given as a module by its name, an icon file (or anything else) is refused.
    if (found == SourceKind::Module) {
      source->module_ = IsNeModule(*reader) ? OpenNeResources(std::move(reader), &out.refusal)
                                            : OpenPeResources(std::move(reader), &out.refusal);
    } else {
      out.refusal =
          found == SourceKind::IconFile ? ModuleRefusal::NoMzHeader : ModuleHeaderRefusal(*reader);
    }
    // The reader (and raw with it) is gone when a module is refused; its
    // refusal says whether a read failed.
    if (!source->module_) {
      if (out.refusal == ModuleRefusal::ReadFailed) {
        out.status = OpenStatus::ReadFailed;
      } else {
        out.notProgramOrIcon = true;
      }
      return out;
    }
    source->moduleBytes_ = raw;
    source->groupCount_ = static_cast<int32_t>(source->module_->CountNames(kResourceTypeGroupIcon));
    source->listedGroups_ = source->groupCount_;
  } else {
    // An icon, cursor or animated file is all icon: it is read whole.
    if (raw->size() > SIZE_MAX / 2) {
      out.status = OpenStatus::NoMemory;
      return out;
    }
    const auto size = static_cast<size_t>(raw->size());
    if (!reader->source().Direct(0, size, &source->iconBytes_)) {
      source->iconFile_ = reader->source().ReadAt(0, size);
      if (!source->iconFile_.ok()) {
        out.status = raw->changed() ? OpenStatus::ReadFailed : OpenStatus::NoMemory;
        out.error = raw->error();
        return out;
      }
      source->iconBytes_ = source->iconFile_.span();
    }
    source->iconReader_ = std::move(reader);
    source->groupCount_ = kind == SourceKind::IconFile ? 1 : 0;
  }
  if (raw->changed()) {
    out.status = OpenStatus::ReadFailed;
    out.error = raw->error();
    return out;
  }
  out.status = OpenStatus::Opened;
  out.source = std::move(source);
  return out;
}

bool IconSource::GroupName(int32_t index, ResourceName* name) const {
  if (kind_ != SourceKind::Module || index < 1 || index > groupCount_) return false;
  if (IsOrphan(index)) return module_->NameAt(kResourceTypeIcon, OrphanOrdinal(index), name);
  return module_->NameAt(kResourceTypeGroupIcon, static_cast<uint32_t>(index - 1), name);
}

void IconSource::IncludeOrphans() {
  if (kind_ != SourceKind::Module || orphansIncluded_) return;
  orphansIncluded_ = true;
  {
    // Every identifier a group lists; each directory lies in the module.
    std::vector<bool> listed(uint32_t{UINT16_MAX} + 1, false);
    for (int32_t g = 0; g < listedGroups_; ++g) {
      for (uint16_t id : ImageIds(g)) listed[id] = true;
    }
    // A text-named RT_ICON no group can list.
    const uint32_t icons = module_->CountNames(kResourceTypeIcon);
    for (uint32_t i = 0; i < icons && groupCount_ < INT32_MAX; ++i) {
      ResourceName name;
      if (!module_->NameAt(kResourceTypeIcon, i, &name) || (!name.isText && listed[name.id])) {
        continue;
      }
      orphans_.push_back(i);
      ++groupCount_;
    }
  }
}

// The identifiers of the RT_ICON images a listed group's directory names.
std::vector<uint16_t> IconSource::ImageIds(int32_t group) const {
  std::vector<uint16_t> ids;
  ByteSpan directory;
  if (!module_->BytesAt(kResourceTypeGroupIcon, static_cast<uint32_t>(group), &directory)) {
    return ids;
  }
  const ByteCursor c(directory);
  uint16_t count = 0;
  if (!c.PeekU16At(kGroupCountOffset, &count)) return ids;
  for (uint16_t i = 0; i < count; ++i) {
    uint16_t id = 0;
    if (!c.PeekU16At(kGroupHeaderSize + size_t{i} * kGroupEntrySize + kGroupEntryIdOffset, &id)) {
      break;
    }
    ids.push_back(id);
  }
  return ids;
}

void IconSource::ReadImagesAhead(int32_t index) {
  // A group's images usually lie side by side: read them in one go.
  if (moduleBytes_) module_->ReadAhead(kResourceTypeIcon, ImageIds(index - 1));
}

// An orphan RT_ICON as a group of its one image, within the budget.
IconImageSetPtr IconSource::ReadOrphan(int32_t index, GroupFailure* why) {
  ByteSpan image;
  if (!module_->BytesAt(kResourceTypeIcon, OrphanOrdinal(index), &image)) {
    *why = GroupFailure::MissingImage;
    return nullptr;
  }
  if (image.size() > budget_ || image.size() > kMaxGroupImageBytes) {
    *why = GroupFailure::OverBudget;
    return nullptr;
  }
  IconImageSetPtr set = AllocateIconImageSet(1, "", path_.c_str());
  IconImageEntry* e = set ? &set->images[0] : nullptr;
  if (e) e->data = static_cast<uint8_t*>(HeapTryAllocate(image.size() ? image.size() : 1));
  if (!e || !e->data) {
    *why = GroupFailure::NoMemory;
    return nullptr;
  }
  if (!image.empty()) std::memcpy(e->data, image.data(), image.size());
  e->dataSize = static_cast<uint32_t>(image.size());
  DeriveImageFields(e);
  *why = GroupFailure::None;
  return set;
}

int32_t IconSource::CountOf(uint16_t resourceType) const {
  switch (kind_) {
    case SourceKind::Module:
      if (resourceType == kResourceTypeGroupIcon) return groupCount_;
      return static_cast<int32_t>(module_->CountNames(resourceType));
    case SourceKind::IconFile:
      return resourceType == kResourceTypeGroupIcon ? 1 : 0;
    case SourceKind::CursorFile:
      return resourceType == kResourceTypeGroupCursor ? 1 : 0;
    case SourceKind::AnimatedFile:
      return resourceType == kResourceTypeAniCursor ? 1 : 0;
    case SourceKind::Unsupported:
      break;
  }
  return 0;
}

GroupFailure IconSource::ReadCursors(int32_t index, CursorGroup* out) {
  const Held held(guard_);
  out->images.clear();
  if (index < 1 || index > CountOf(kResourceTypeGroupCursor)) return GroupFailure::NotFound;
  GroupFailure why = GroupFailure::None;
  if (kind_ == SourceKind::Module) {
    why = ReadCursorGroupAt(*module_, static_cast<uint32_t>(index - 1), budget_, out);
    if (why != GroupFailure::None && moduleBytes_ && moduleBytes_->changed()) {
      why = GroupFailure::ReadFailed;
    }
  } else {
    // The file's images draw on the budget below, as a module's do.
    why = ReadCursorFile(iconBytes_, out) ? GroupFailure::None : GroupFailure::CutShort;
  }
  if (why == GroupFailure::None) {
    if (out->bytes() > budget_) {
      why = GroupFailure::OverBudget;
    } else {
      budget_ -= out->bytes();
    }
  }
  if (why != GroupFailure::None) out->images.clear();
  return why;
}

GroupFailure IconSource::AnimatedBytes(uint16_t resourceType, int32_t index, ByteSpan* out) {
  const Held held(guard_);
  *out = ByteSpan();
  if (index < 1 || index > CountOf(resourceType)) return GroupFailure::NotFound;
  ByteSpan bytes = iconBytes_;
  if (kind_ == SourceKind::Module &&
      !module_->BytesAt(resourceType, static_cast<uint32_t>(index - 1), &bytes)) {
    return moduleBytes_ && moduleBytes_->changed() ? GroupFailure::ReadFailed
                                                   : GroupFailure::CutShort;
  }
  *out = bytes;
  return GroupFailure::None;
}

namespace {

// The pixels an image claims by its own header (0 for one that has none).
uint64_t ClaimedPixels(const IconImageEntry& e) {
  return uint64_t(e.width > 0 ? e.width : 0) * uint64_t(e.height > 0 ? e.height : 0);
}

uint64_t ClaimedPixels(ByteSpan image) {
  IconImageEntry e{};
  // Read only: the entry belongs to no set and owns nothing.
  e.data = const_cast<uint8_t*>(image.data());
  e.dataSize = static_cast<uint32_t>(image.size());
  DeriveImageFields(&e);
  return ClaimedPixels(e);
}

}  // namespace

GroupFailure IconSource::DrawGroup(uint64_t pixels, uint64_t bytes) {
  // The bytes were checked against the budget when the images were found.
  if (pixels > pixelBudget_) return GroupFailure::OverPixelBudget;
  pixelBudget_ -= pixels;
  budget_ -= bytes;
  return GroupFailure::None;
}

GroupRead IconSource::ReadGroup(int32_t index) {
  if (kind_ != SourceKind::Module || index < 1 || index > groupCount_ || IsOrphan(index)) {
    const Held held(guard_);
    return ReadFileOrOrphanGroup(index);
  }
  // A module's group: its images are found and the budgets drawn under the
  // guard, in turn; they are copied after it, so that several threads copy
  // at once. The spans stay readable while the module lives.
  GroupRead out;
  std::vector<ByteSpan> images;
  {
    const Held held(guard_);
    ReadImagesAhead(index);
    out.why = FindIconGroupImagesAt(*module_, static_cast<uint32_t>(index - 1), budget_, &images);
    // A read that came back short: the file changed after it was opened.
    if (out.why != GroupFailure::None && moduleBytes_ && moduleBytes_->changed()) {
      out.why = GroupFailure::ReadFailed;
    }
    if (out.why == GroupFailure::None) {
      uint64_t pixels = 0, bytes = 0;
      for (ByteSpan image : images) {
        pixels += ClaimedPixels(image);
        bytes += image.size();
      }
      out.why = DrawGroup(pixels, bytes);
    }
  }
  if (out.why == GroupFailure::None) out.set = SetOfGroupImages(images, path_.c_str(), &out.why);
  if (!out.set) {
    out.status = out.why == GroupFailure::OverBudget || out.why == GroupFailure::OverPixelBudget
                     ? ExtractStatus::OverBudget
                     : ExtractStatus::UnreadableGroup;
    return out;
  }
  out.status = ExtractStatus::Written;
  return out;
}

GroupRead IconSource::ReadFileOrOrphanGroup(int32_t index) {
  GroupRead out;
  if (index < 1 || index > groupCount_) return out;
  if (kind_ == SourceKind::IconFile) {
    out.set = ReadIconFileBytes(iconBytes_, path_.c_str(), budget_);
    if (!out.set) {
      out.status = ExtractStatus::UnreadableGroup;
      out.why = GroupFailure::CutShort;
      return out;
    }
  } else if (IsOrphan(index)) {
    out.set = ReadOrphan(index, &out.why);
    if (!out.set && moduleBytes_ && moduleBytes_->changed()) out.why = GroupFailure::ReadFailed;
  } else {
    // A module's listed groups are read by ReadGroup itself; other files have no icon groups.
    out.why = GroupFailure::NotFound;
  }
  if (!out.set) {
    out.status = out.why == GroupFailure::OverBudget ? ExtractStatus::OverBudget
                                                     : ExtractStatus::UnreadableGroup;
    return out;
  }
  // The pixels the images claim, by their own headers.
  uint64_t pixels = 0, bytes = 0;
  for (uint32_t i = 0; i < out.set->imageCount; ++i) {
    pixels += ClaimedPixels(out.set->images[i]);
    bytes += out.set->images[i].dataSize;
  }
  out.why = DrawGroup(pixels, bytes);
  if (out.why != GroupFailure::None) {
    out.set.reset();
    out.status = ExtractStatus::OverBudget;
    return out;
  }
  out.status = ExtractStatus::Written;
  return out;
}

}  // namespace vantorico
