#include <new>

#include "base/win_handles.h"
#include "iconlib/file_io.h"
#include "iconlib/module_source.h"

namespace vantorico {
namespace {

class PlatformModule final : public ModuleSource {
 public:
  explicit PlatformModule(UniqueModule module) : module_(std::move(module)) {}

  bool EnumerateNames(uint16_t type,
                      const std::function<bool(const ResourceName&)>& visit) override {
    Enumeration state{&visit, true};
    return EnumResourceNamesA(module_.get(), MAKEINTRESOURCEA(type), &OnName,
                              reinterpret_cast<LONG_PTR>(&state)) != FALSE;
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
    if (!locked && size != 0) return false;
    *bytes = ByteSpan(static_cast<const uint8_t*>(locked), size);
    return true;
  }

 private:
  struct Enumeration {
    const std::function<bool(const ResourceName&)>* visit;
    bool more;
  };

  static BOOL CALLBACK OnName(HMODULE, LPCSTR, LPSTR raw, LONG_PTR context) {
    auto* state = reinterpret_cast<Enumeration*>(context);
    if (!state->more) return TRUE;
    ResourceName name;
    if (IS_INTRESOURCE(raw)) {
      name.id = static_cast<uint16_t>(reinterpret_cast<ULONG_PTR>(raw));
    } else {
      name.isText = true;
      name.text = raw;
    }
    state->more = (*state->visit)(name);
    return TRUE;
  }

  UniqueModule module_;
};

// The platform loader refuses 16-bit files; icon libraries are NE files, so
// those (and only those) go to the portable reader.
std::unique_ptr<ModuleSource> OpenRefusedNeModule(const char* path) {
  std::unique_ptr<FileView> view = OpenFileView(path);
  if (!view || !IsNeModuleImage(view->bytes())) return nullptr;
  view.reset();
  return OpenPortableModule(path);
}

}  // namespace

std::unique_ptr<ModuleSource> OpenModuleSource(const char* path) {
  UniqueModule module(LoadLibraryExA(path ? path : "", nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return OpenRefusedNeModule(path);
  return std::unique_ptr<ModuleSource>(new (std::nothrow) PlatformModule(std::move(module)));
}

}  // namespace vantorico
