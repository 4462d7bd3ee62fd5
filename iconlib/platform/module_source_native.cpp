#include "iconlib/formats/module_source.h"

namespace vantorico {

// Without a platform loader every program file goes through the portable reader.
std::unique_ptr<ModuleSource> OpenModuleSource(const char* path) {
  return OpenPortableModule(path);
}

}  // namespace vantorico
