#pragma once
// The two formats of the portable module reader, each over a reader of the
// file it owns (or bytes the caller keeps alive). Null when the file is not
// that format.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "iconlib/formats/module_source.h"
#include "iconlib/formats/source_reader.h"

namespace vantorico {

// why, when given, says why a file is refused.
std::unique_ptr<ModuleSource> OpenPeResources(std::unique_ptr<SourceReader> file,
                                              ModuleRefusal* why = nullptr);
std::unique_ptr<ModuleSource> OpenNeResources(std::unique_ptr<SourceReader> file,
                                              ModuleRefusal* why = nullptr);
std::unique_ptr<ModuleSource> OpenPeResources(ByteSpan file);
std::unique_ptr<ModuleSource> OpenNeResources(ByteSpan file);
// MZ with a PE (NE) header behind it, read through the reader's pages.
bool IsPeModule(SourceReader& file);
bool IsNeModule(SourceReader& file);
// Why the file is neither (None when it is one of them).
ModuleRefusal ModuleHeaderRefusal(SourceReader& file);
// A refusal for reason, told through why when given: ReadFailed instead when
// a read of the file failed. Null.
std::unique_ptr<ModuleSource> RefuseModule(const SourceReader* file, ModuleRefusal reason,
                                           ModuleRefusal* why);
// A reader made (None), or not for memory (NoMemory).
std::unique_ptr<ModuleSource> OpenedModule(std::unique_ptr<ModuleSource> module,
                                           ModuleRefusal* why);

// One resource type's names, indexed once: positions in enumeration order
// (text names first as stored, then identifiers ascending, the first stored
// of equal identifiers first) and the identifiers sorted for lookups.
struct NameOrder {
  std::vector<uint32_t> order;  // stored positions, in enumeration order
  std::vector<uint32_t> byId;   // stored positions of identifier names, by identifier
};

// isText(i) and id(i) describe stored entry i of count.
template <typename IsText, typename IdOf>
NameOrder OrderNames(uint32_t count, IsText isText, IdOf idOf) {
  NameOrder o;
  o.order.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (isText(i)) o.order.push_back(i);
  }
  for (uint32_t i = 0; i < count; ++i) {
    if (!isText(i)) o.byId.push_back(i);
  }
  std::stable_sort(o.byId.begin(), o.byId.end(),
                   [&](uint32_t a, uint32_t b) { return idOf(a) < idOf(b); });
  o.order.insert(o.order.end(), o.byId.begin(), o.byId.end());
  return o;
}

// The stored position of the first entry with the identifier, or -1.
template <typename IdOf>
int64_t FindById(const NameOrder& o, uint16_t id, IdOf idOf) {
  const auto at = std::lower_bound(o.byId.begin(), o.byId.end(), id,
                                   [&](uint32_t pos, uint16_t want) { return idOf(pos) < want; });
  if (at == o.byId.end() || idOf(*at) != id) return -1;
  return *at;
}

}  // namespace vantorico
