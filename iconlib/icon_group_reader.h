#pragma once
// Icon groups of a module: counting them, finding the n-th, reading one.
#include <cstdint>

#include "iconlib/icon_image_set.h"
#include "iconlib/module_source.h"

namespace vantorico {

struct IconGroupLocation {
  int32_t groupCount = 0;
  bool found = false;  // index named a group; name holds its name
  ResourceName name;
};

// Counts every icon group of the module and names the index-th (1-based).
IconGroupLocation LocateIconGroup(ModuleSource& module, int32_t index);

// Opens the module at the path itself and releases it before returning.
// A null name gives none.
IconImageSet* ReadIconGroup(const char* modulePath, const ResourceName* name);

// The same read over a module the caller holds.
IconImageSet* ReadIconGroupFrom(ModuleSource& module, const ResourceName& name,
                                const char* modulePath);

}  // namespace vantorico
