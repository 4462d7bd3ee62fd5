#pragma once
// The two formats of the portable module reader, each over a whole file's
// bytes that the caller keeps alive. Null when the bytes are not that format.
#include <memory>
#include <vector>

#include "iconlib/module_source.h"

namespace vantorico {

std::unique_ptr<ModuleSource> OpenPeResources(ByteSpan file);
std::unique_ptr<ModuleSource> OpenNeResources(ByteSpan file);

// Stable order of the names a module lists: text names first as stored,
// then integer identifiers ascending.
void OrderResourceNames(std::vector<ResourceName>* names);

}  // namespace vantorico
