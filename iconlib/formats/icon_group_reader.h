#pragma once
// Icon groups of a module: counting them, finding the n-th, reading one.
#include <cstdint>
#include <vector>

#include "iconlib/formats/icon_image_set.h"
#include "iconlib/formats/module_source.h"

namespace vantorico {

struct IconGroupLocation {
  int32_t groupCount = 0;
  bool found = false;  // index named a group; name holds its name
  ResourceName name;
};

// Why a group gave no set.
enum class GroupFailure {
  None,
  NotFound,      // no group of that name or position
  CutShort,      // the directory is shorter than its count says
  MissingImage,  // an image it names is not in the module (or lies past its end)
  OverBudget,    // its images together pass the byte limit
  NoMemory,
  OverPixelBudget,  // its images claim more pixels than the source may still make the engine decode
  ReadFailed,       // the file changed (shrank) or failed to read after it was opened
};

// Counts every icon group of the module and names the index-th (1-based).
IconGroupLocation LocateIconGroup(ModuleSource& module, int32_t index);

// Opens the module at the path itself and releases it before returning.
// A null name gives none.
[[nodiscard]] IconImageSetPtr ReadIconGroup(const char* modulePath, const ResourceName* name);

// The same read over a module the caller holds, by name or by position in
// enumeration order. The group's images together may hold at most
// byteLimit bytes; *why (when given) says what failed.
[[nodiscard]] IconImageSetPtr ReadIconGroupFrom(ModuleSource& module, const ResourceName& name,
                                                const char* modulePath,
                                                uint64_t byteLimit = kMaxGroupImageBytes,
                                                GroupFailure* why = nullptr);
[[nodiscard]] IconImageSetPtr ReadIconGroupAt(ModuleSource& module, uint32_t ordinal,
                                              const char* modulePath, uint64_t byteLimit,
                                              GroupFailure* why);

// The same read in two steps, for a reader that holds a lock over its
// module's reads only: the images the group at ordinal names, found and
// checked against byteLimit but not copied (the spans stay readable while
// the module lives), then the set of their copies.
[[nodiscard]] GroupFailure FindIconGroupImagesAt(ModuleSource& module, uint32_t ordinal,
                                                 uint64_t byteLimit, std::vector<ByteSpan>* images);
[[nodiscard]] IconImageSetPtr SetOfGroupImages(const std::vector<ByteSpan>& images,
                                               const char* modulePath, GroupFailure* why);

}  // namespace vantorico
