#include <new>

#include "base/dbcs.h"
#include "iconlib/portable_module.h"
#include "iconlib/source_reader.h"

namespace vantorico {

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

std::unique_ptr<ModuleSource> OpenPortableModuleSource(std::unique_ptr<ByteSource> source) {
  std::unique_ptr<SourceReader> reader = ReaderOf(std::move(source));
  if (!reader) return nullptr;
  if (IsPeModule(*reader)) return OpenPeResources(std::move(reader));
  if (IsNeModule(*reader)) return OpenNeResources(std::move(reader));
  return nullptr;
}

std::unique_ptr<ModuleSource> OpenPortableModuleBytes(ByteSpan file) {
  return OpenPortableModuleSource(ByteSourceOfBytes(file));
}

std::unique_ptr<ModuleSource> OpenPortableModule(const char* path) {
  return OpenPortableModuleSource(OpenByteSource(path).source);
}

}  // namespace vantorico
