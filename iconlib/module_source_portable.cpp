#include <new>

#include "base/dbcs.h"
#include "iconlib/portable_module.h"

namespace vantorico {
namespace {

// Keeps the file's bytes alive for as long as the reader over them.
class OwningModule final : public ModuleSource {
 public:
  OwningModule(std::unique_ptr<FileView> view, std::unique_ptr<ModuleSource> inner)
      : view_(std::move(view)), inner_(std::move(inner)) {}
  uint32_t CountNames(uint16_t type) override { return inner_->CountNames(type); }
  bool NameAt(uint16_t type, uint32_t ordinal, ResourceName* name) override {
    return inner_->NameAt(type, ordinal, name);
  }
  bool BytesAt(uint16_t type, uint32_t ordinal, ByteSpan* bytes) override {
    return inner_->BytesAt(type, ordinal, bytes);
  }
  bool FindResourceBytes(const ResourceName& name, uint16_t type, ByteSpan* bytes) override {
    return inner_->FindResourceBytes(name, type, bytes);
  }
  bool NameIs(uint16_t type, uint32_t ordinal, const std::string& text) override {
    return inner_->NameIs(type, ordinal, text);
  }
  void SetLanguageOrder(const LanguageOrder& order) override { inner_->SetLanguageOrder(order); }
  bool LanguagesAt(uint16_t type, uint32_t ordinal, std::vector<uint16_t>* stored,
                   size_t* chosen) override {
    return inner_->LanguagesAt(type, ordinal, stored, chosen);
  }

 private:
  std::unique_ptr<FileView> view_;
  std::unique_ptr<ModuleSource> inner_;
};

}  // namespace

bool ModuleSource::EnumerateNames(uint16_t type,
                                  const std::function<bool(const ResourceName&)>& visit) {
  const uint32_t count = CountNames(type);
  if (count == 0) return false;
  ResourceName name;
  for (uint32_t i = 0; i < count; ++i) {
    if (NameAt(type, i, &name) && !visit(name)) break;
  }
  return true;
}

bool ModuleSource::NameIs(uint16_t type, uint32_t ordinal, const std::string& text) {
  ResourceName stored, wanted;
  wanted.isText = true;
  wanted.text = text;
  return NameAt(type, ordinal, &stored) && !stored.cut && ResourceNamesEqual(stored, wanted);
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

std::unique_ptr<ModuleSource> OpenPortableModuleView(std::unique_ptr<FileView> view) {
  if (!view) return nullptr;
  std::unique_ptr<ModuleSource> inner = OpenPortableModuleBytes(view->bytes());
  if (!inner) return nullptr;
  return std::unique_ptr<ModuleSource>(new (std::nothrow)
                                           OwningModule(std::move(view), std::move(inner)));
}

std::unique_ptr<ModuleSource> OpenPortableModule(const char* path) {
  return OpenPortableModuleView(OpenFileView(path));
}

}  // namespace vantorico
