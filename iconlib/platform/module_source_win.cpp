#include <cstddef>
#include <map>
#include <new>
#include <vector>

#include "base/utf16.h"
#include "base/win_handles.h"
#include "iconlib/formats/cursor_resources.h"
#include "iconlib/platform/file_io.h"
#include "iconlib/formats/icon_constants.h"
#include "iconlib/formats/module_format.h"
#include "iconlib/formats/module_source.h"
#include "iconlib/formats/portable_module.h"

namespace vantorico {

// The portable copies of the system's numbers. The resource types are
// pointers made of their numbers (MAKEINTRESOURCE); they are read as numbers.
#pragma push_macro("MAKEINTRESOURCEA")
#undef MAKEINTRESOURCEA
#define MAKEINTRESOURCEA(number) (number)
static_assert(kResourceTypeIcon == RT_ICON && kResourceTypeGroupIcon == RT_GROUP_ICON &&
              kResourceTypeCursor == RT_CURSOR && kResourceTypeGroupCursor == RT_GROUP_CURSOR &&
              kResourceTypeAniCursor == RT_ANICURSOR && kResourceTypeAniIcon == RT_ANIICON);
#pragma pop_macro("MAKEINTRESOURCEA")
// The layout the portable reader walks is the one the loader walks.
static_assert(kMzSignature == IMAGE_DOS_SIGNATURE && kNeSignature == IMAGE_OS2_SIGNATURE &&
              kPeSignature == IMAGE_NT_SIGNATURE && kPeSignatureSize == sizeof(DWORD));
static_assert(kMzNewHeaderOffset == offsetof(IMAGE_DOS_HEADER, e_lfanew));
static_assert(kCoffHeaderSize == sizeof(IMAGE_FILE_HEADER) &&
              kCoffSectionCountOffset == offsetof(IMAGE_FILE_HEADER, NumberOfSections) &&
              kCoffOptionalSizeOffset == offsetof(IMAGE_FILE_HEADER, SizeOfOptionalHeader));
static_assert(kPe32Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC &&
              kPe32PlusMagic == IMAGE_NT_OPTIONAL_HDR64_MAGIC &&
              kPe32DirectoryCountOffset == offsetof(IMAGE_OPTIONAL_HEADER32, NumberOfRvaAndSizes) &&
              kPe32PlusDirectoryCountOffset ==
                  offsetof(IMAGE_OPTIONAL_HEADER64, NumberOfRvaAndSizes));
static_assert(kDataDirectorySize == sizeof(IMAGE_DATA_DIRECTORY) &&
              kResourceDirectoryIndex == IMAGE_DIRECTORY_ENTRY_RESOURCE);
static_assert(kSectionHeaderSize == sizeof(IMAGE_SECTION_HEADER) &&
              kSectionVirtualAddressOffset == offsetof(IMAGE_SECTION_HEADER, VirtualAddress) &&
              kSectionRawSizeOffset == offsetof(IMAGE_SECTION_HEADER, SizeOfRawData) &&
              kSectionRawPointerOffset == offsetof(IMAGE_SECTION_HEADER, PointerToRawData));
static_assert(kResourceDirectoryHeaderSize == sizeof(IMAGE_RESOURCE_DIRECTORY) &&
              kResourceNamedCountOffset ==
                  offsetof(IMAGE_RESOURCE_DIRECTORY, NumberOfNamedEntries) &&
              kResourceIdCountOffset == offsetof(IMAGE_RESOURCE_DIRECTORY, NumberOfIdEntries) &&
              kResourceEntrySize == sizeof(IMAGE_RESOURCE_DIRECTORY_ENTRY) &&
              kResourceDataEntrySize == sizeof(IMAGE_RESOURCE_DATA_ENTRY));
static_assert(kResourceHighBit == IMAGE_RESOURCE_NAME_IS_STRING &&
              kResourceHighBit == IMAGE_RESOURCE_DATA_IS_DIRECTORY);

namespace {

// The loader maps a data file and hands out pointers into the mapping that
// the file's own directory decides; a file cut short (or lying) makes them
// point past the end. Every pointer and size it returns is checked against
// the readable extent of the mapping before anything reads it.
class MappedExtent {
 public:
  explicit MappedExtent(HMODULE module) {
    // The low bits of a data-file handle are flags, not address.
    const auto base = reinterpret_cast<uintptr_t>(module) & ~static_cast<uintptr_t>(3);
    MEMORY_BASIC_INFORMATION info{};
    if (!VirtualQuery(reinterpret_cast<const void*>(base), &info, sizeof info)) return;
    const void* allocation = info.AllocationBase;
    uintptr_t at = reinterpret_cast<uintptr_t>(info.BaseAddress);
    begin_ = at;
    end_ = at;
    // Consecutive committed, readable regions of the same allocation.
    while (VirtualQuery(reinterpret_cast<const void*>(at), &info, sizeof info) &&
           info.AllocationBase == allocation && info.State == MEM_COMMIT &&
           !(info.Protect & (PAGE_NOACCESS | PAGE_GUARD))) {
      at = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
      end_ = at;
    }
  }
  bool Contains(const void* p, size_t size) const {
    const auto at = reinterpret_cast<uintptr_t>(p);
    return at >= begin_ && at <= end_ && size <= end_ - at;
  }

 private:
  uintptr_t begin_ = 0;
  uintptr_t end_ = 0;
};

class PlatformModule final : public ModuleSource {
 public:
  explicit PlatformModule(UniqueModule module)
      : module_(std::move(module)), extent_(module_.get()) {}

  uint32_t CountNames(uint16_t type) override {
    return static_cast<uint32_t>(NamesOf(type).size());
  }

  bool NameAt(uint16_t type, uint32_t ordinal, ResourceName* name) override {
    const std::vector<ResourceName>& names = NamesOf(type);
    if (ordinal >= names.size()) return false;
    *name = names[ordinal];
    return true;
  }

  bool BytesAt(uint16_t type, uint32_t ordinal, ByteSpan* bytes) override {
    const std::vector<ResourceName>& names = NamesOf(type);
    return ordinal < names.size() && FindResourceBytes(names[ordinal], type, bytes);
  }

  bool FindResourceBytes(const ResourceName& name, uint16_t type, ByteSpan* bytes) override {
    const char* lookup = name.isText ? name.text.c_str() : MAKEINTRESOURCEA(name.id);
    HRSRC found = FindResourceA(module_.get(), lookup, MAKEINTRESOURCEA(type));
    if (!found) return false;
    // A loaded resource belongs to the module; it needs no release of its own.
    HGLOBAL loaded = LoadResource(module_.get(), found);
    if (!loaded) return false;
    const void* locked = LockResource(loaded);
    const DWORD size = SizeofResource(module_.get(), found);
    if (size == 0) {
      *bytes = ByteSpan();
      return true;
    }
    if (!locked || !extent_.Contains(locked, size)) return false;
    *bytes = ByteSpan(static_cast<const uint8_t*>(locked), size);
    return true;
  }

 private:
  // The names of a type, enumerated once.
  const std::vector<ResourceName>& NamesOf(uint16_t type) {
    auto known = names_.find(type);
    if (known != names_.end()) return known->second;
    std::vector<ResourceName>& names = names_[type];
    EnumResourceNamesA(module_.get(), MAKEINTRESOURCEA(type), &OnName,
                       reinterpret_cast<LONG_PTR>(&names));
    return names;
  }

  static BOOL CALLBACK OnName(HMODULE, LPCSTR, LPSTR raw, LONG_PTR context) {
    auto* names = reinterpret_cast<std::vector<ResourceName>*>(context);
    ResourceName name;
    if (IS_INTRESOURCE(raw)) {
      name.id = static_cast<uint16_t>(reinterpret_cast<ULONG_PTR>(raw));
    } else {
      name.isText = true;
      name.text = raw;
    }
    names->push_back(std::move(name));
    return TRUE;
  }

  UniqueModule module_;
  MappedExtent extent_;
  std::map<uint16_t, std::vector<ResourceName>> names_;
};

// The platform loader refuses 16-bit files; icon libraries are NE files, so
// those (and only those) go to the portable reader.
std::unique_ptr<ModuleSource> OpenRefusedNeModule(const char* path) {
  std::unique_ptr<SourceReader> file = ReaderOf(OpenByteSource(path).source);
  if (!file || !IsNeModule(*file)) return nullptr;
  return OpenNeResources(std::move(file));
}

}  // namespace

std::unique_ptr<ModuleSource> OpenModuleSource(const char* path) {
  // The engine's paths are UTF-8 (file_io.h).
  UniqueModule module(
      LoadLibraryExW(Utf8ToWide(path ? path : "").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return OpenRefusedNeModule(path);
  return std::unique_ptr<ModuleSource>(new (std::nothrow) PlatformModule(std::move(module)));
}

}  // namespace vantorico
