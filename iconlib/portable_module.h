#pragma once
// The two formats of the portable module reader, each over a whole file's
// bytes that the caller keeps alive. Null when the bytes are not that format.
#include <functional>
#include <memory>
#include <vector>

#include "iconlib/module_source.h"

namespace vantorico {

std::unique_ptr<ModuleSource> OpenPeResources(ByteSpan file);
std::unique_ptr<ModuleSource> OpenNeResources(ByteSpan file);

// Visits the names a module lists in the platform's enumeration order: text
// names first as stored, then integer identifiers ascending; stops when
// visit returns false.
void VisitInEnumerationOrder(std::vector<ResourceName> names,
                             const std::function<bool(const ResourceName&)>& visit);

}  // namespace vantorico
