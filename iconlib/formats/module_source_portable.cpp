#include <new>

#include "base/dbcs.h"
#include "iconlib/formats/module_format.h"
#include "iconlib/formats/portable_module.h"
#include "iconlib/formats/source_reader.h"

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

const char* ModuleRefusalText(ModuleRefusal why) {
  switch (why) {
    case ModuleRefusal::None:
      return "a program file";
    case ModuleRefusal::NoMzHeader:
      return "no MZ header";
    case ModuleRefusal::NoNewHeader:
      return "no PE or NE header where the MZ header points";
    case ModuleRefusal::PeHeaderCutShort:
      return "the PE header ends past the file";
    case ModuleRefusal::UnknownOptionalHeader:
      return "the PE optional header is neither PE32 nor PE32+";
    case ModuleRefusal::NeHeaderCutShort:
      return "the NE header ends past the file";
    case ModuleRefusal::ReadFailed:
      return "its headers could not be read";
    case ModuleRefusal::NoMemory:
      return "not enough memory";
  }
  return "unknown";
}

std::unique_ptr<ModuleSource> RefuseModule(const SourceReader* file, ModuleRefusal reason,
                                           ModuleRefusal* why) {
  if (why) *why = file && file->changed() ? ModuleRefusal::ReadFailed : reason;
  return nullptr;
}

std::unique_ptr<ModuleSource> OpenedModule(std::unique_ptr<ModuleSource> module,
                                           ModuleRefusal* why) {
  if (why) *why = module ? ModuleRefusal::None : ModuleRefusal::NoMemory;
  return module;
}

ModuleRefusal ModuleHeaderRefusal(SourceReader& file) {
  uint16_t mz = 0;
  if (!file.U16At(0, &mz) || mz != kMzSignature) {
    return file.changed() ? ModuleRefusal::ReadFailed : ModuleRefusal::NoMzHeader;
  }
  if (IsPeModule(file) || IsNeModule(file)) return ModuleRefusal::None;
  return file.changed() ? ModuleRefusal::ReadFailed : ModuleRefusal::NoNewHeader;
}

std::unique_ptr<ModuleSource> OpenPortableModuleSource(std::unique_ptr<ByteSource> source,
                                                       ModuleRefusal* why) {
  std::unique_ptr<SourceReader> reader = ReaderOf(std::move(source));
  if (!reader) {
    if (why) *why = ModuleRefusal::NoMemory;
    return nullptr;
  }
  if (IsNeModule(*reader)) return OpenNeResources(std::move(reader), why);
  return OpenPeResources(std::move(reader), why);
}

std::unique_ptr<ModuleSource> OpenPortableModuleBytes(ByteSpan file) {
  return OpenPortableModuleSource(ByteSourceOfBytes(file));
}

std::unique_ptr<ModuleSource> OpenPortableModule(const char* path) {
  return OpenPortableModuleSource(OpenByteSource(path).source);
}

}  // namespace vantorico
