#include "iconlib/icon_source.h"

#include <new>

#include "iconlib/icon_file_reader.h"

namespace vantorico {

uint64_t OutputBudgetFor(uint64_t sourceBytes) {
  return kOutputBudgetFloor + kOutputBudgetPerSourceByte * sourceBytes;
}

IconSource::~IconSource() = default;

SourceKind SourceKindOfBytes(ByteSpan bytes) {
  if (IsPeModuleImage(bytes) || IsNeModuleImage(bytes)) return SourceKind::Module;
  const ByteCursor c(bytes);
  uint16_t reserved = 1, type = 0;
  if (bytes.size() >= kIconFileHeaderSize && c.PeekU16At(0, &reserved) &&
      c.PeekU16At(kIconFileHeaderFieldSize, &type) && reserved == kIconFileReserved &&
      type == kIconFileTypeIcon) {
    return SourceKind::IconFile;
  }
  return SourceKind::Unsupported;
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
    source->budget_ = OutputBudgetFor(StampOfPath(path, &stamp) ? stamp.size : 0);
    if (!IdentityOfPath(path, &source->identity_)) source->identity_ = FileIdentity{};
    source->groupCount_ =
        static_cast<int32_t>(source->module_->CountNames(kResourceTypeGroupIcon));
    out.status = OpenStatus::Opened;
    out.source = std::move(source);
    return out;
  }
  return FromFile(path, kind, ReadSourceFile(path));
}

OpenedSource IconSource::OpenByContent(const char* path) {
  return OpenReadFile(path, ReadSourceFile(path));
}

OpenedSource IconSource::OpenReadFile(const char* path, SourceFile file) {
  const SourceKind kind = file.view ? SourceKindOfBytes(file.view->bytes()) : SourceKind::Module;
  if (kind == SourceKind::Unsupported) {
    OpenedSource out;
    out.status = OpenStatus::Opened;
    out.notProgramOrIcon = true;
    return out;
  }
  return FromFile(path, kind, std::move(file));
}

OpenedSource IconSource::FromFile(const char* path, SourceKind kind, SourceFile file) {
  OpenedSource out;
  out.status = file.status;
  out.error = file.error;
  if (!file.view) return out;
  std::unique_ptr<IconSource> source(new (std::nothrow) IconSource());
  if (!source) {
    out.status = OpenStatus::NoMemory;
    return out;
  }
  source->kind_ = kind;
  source->path_ = path ? path : "";
  source->identity_ = file.view->identity();
  source->budget_ = OutputBudgetFor(file.view->bytes().size());
  source->view_ = std::move(file.view);
  if (kind == SourceKind::Module) {
    source->module_ = OpenPortableModuleBytes(source->view_->bytes());
    if (!source->module_) {
      out.notProgramOrIcon = true;
      return out;
    }
  }
  source->groupCount_ = kind == SourceKind::IconFile
                            ? 1
                            : static_cast<int32_t>(
                                  source->module_->CountNames(kResourceTypeGroupIcon));
  out.status = OpenStatus::Opened;
  out.source = std::move(source);
  return out;
}

bool IconSource::GroupName(int32_t index, ResourceName* name) const {
  if (kind_ != SourceKind::Module || index < 1 || index > groupCount_) return false;
  return module_->NameAt(kResourceTypeGroupIcon, static_cast<uint32_t>(index - 1), name);
}

GroupRead IconSource::ReadGroup(int32_t index) {
  GroupRead out;
  if (index < 1 || index > groupCount_) return out;
  if (kind_ == SourceKind::IconFile) {
    out.set = ReadIconFileBytes(view_->bytes(), path_.c_str(), budget_);
    if (!out.set) {
      out.status = ExtractStatus::UnreadableGroup;
      out.why = GroupFailure::CutShort;
      return out;
    }
  } else {
    out.set = ReadIconGroupAt(*module_, static_cast<uint32_t>(index - 1), path_.c_str(),
                              budget_, &out.why);
  }
  if (!out.set) {
    out.status = out.why == GroupFailure::OverBudget ? ExtractStatus::OverBudget
                                                     : ExtractStatus::UnreadableGroup;
    return out;
  }
  for (uint32_t i = 0; i < out.set->imageCount; ++i) budget_ -= out.set->images[i].dataSize;
  out.status = ExtractStatus::Written;
  return out;
}

}  // namespace vantorico
