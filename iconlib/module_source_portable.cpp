#include <algorithm>
#include <new>

#include "base/gbk.h"
#include "iconlib/file_io.h"
#include "iconlib/portable_module.h"

namespace vantorico {
namespace {

// Keeps the file's view alive for as long as the reader over it.
class OwningModule final : public ModuleSource {
 public:
  OwningModule(std::unique_ptr<FileView> view, std::unique_ptr<ModuleSource> inner)
      : view_(std::move(view)), inner_(std::move(inner)) {}
  bool EnumerateNames(uint16_t type,
                      const std::function<bool(const ResourceName&)>& visit) override {
    return inner_->EnumerateNames(type, visit);
  }
  bool FindResourceBytes(const ResourceName& name, uint16_t type, ByteSpan* bytes) override {
    return inner_->FindResourceBytes(name, type, bytes);
  }

 private:
  std::unique_ptr<FileView> view_;
  std::unique_ptr<ModuleSource> inner_;
};

}  // namespace

void VisitInEnumerationOrder(std::vector<ResourceName> names,
                             const std::function<bool(const ResourceName&)>& visit) {
  std::stable_sort(names.begin(), names.end(), [](const ResourceName& a, const ResourceName& b) {
    if (a.isText != b.isText) return a.isText;
    return !a.isText && a.id < b.id;
  });
  for (const ResourceName& n : names) {
    if (!visit(n)) break;
  }
}

bool ResourceNamesEqual(const ResourceName& a, const ResourceName& b) {
  if (a.isText != b.isText) return false;
  if (!a.isText) return a.id == b.id;
  if (a.text.size() != b.text.size()) return false;
  for (size_t i = 0; i < a.text.size(); ++i) {
    if (AsciiToLower(a.text[i]) != AsciiToLower(b.text[i])) return false;
  }
  return true;
}

std::unique_ptr<ModuleSource> OpenPortableModuleBytes(ByteSpan file) {
  if (IsPeModuleImage(file)) return OpenPeResources(file);
  if (IsNeModuleImage(file)) return OpenNeResources(file);
  return nullptr;
}

std::unique_ptr<ModuleSource> OpenPortableModule(const char* path) {
  std::unique_ptr<FileView> view = OpenFileView(path);
  if (!view) return nullptr;
  std::unique_ptr<ModuleSource> inner = OpenPortableModuleBytes(view->bytes());
  if (!inner) return nullptr;
  return std::unique_ptr<ModuleSource>(new (std::nothrow)
                                           OwningModule(std::move(view), std::move(inner)));
}

}  // namespace vantorico
