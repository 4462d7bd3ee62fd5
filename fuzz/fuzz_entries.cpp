#include "fuzz/fuzz_entries.h"

#include "iconlib/file_io.h"
#include "iconlib/icon_file_reader.h"
#include "iconlib/icon_file_writer.h"
#include "iconlib/icon_group_reader.h"
#include "iconlib/module_source.h"

namespace vantorico {
namespace {

// Swallows what a writer produces, so the writers' reads of each image run too.
class NullOutput final : public OutputFile {
 public:
  bool Write(const void*, uint32_t) override { return true; }
};

// Bounds one input's work: a hostile directory may list many thousands of groups.
constexpr int32_t kMaxFuzzGroups = 64;

}  // namespace

void FuzzModuleReader(const uint8_t* data, size_t size) {
  std::unique_ptr<ModuleSource> module = OpenPortableModuleBytes(ByteSpan(data, size));
  if (!module) return;
  const int32_t count = LocateIconGroup(*module, 1).groupCount;
  for (int32_t i = 1; i <= count && i <= kMaxFuzzGroups; ++i) {
    const IconGroupLocation at = LocateIconGroup(*module, i);
    if (!at.found) continue;
    IconImageSet* set = ReadIconGroupFrom(*module, at.name, "fuzz");
    if (set) {
      NullOutput sink;
      WriteIconFileTo(set, sink);
    }
    ReleaseIconImageSet(set);
  }
}

void FuzzIconFileReader(const uint8_t* data, size_t size) {
  std::unique_ptr<InputFile> file = OpenMemoryInputFile(ByteSpan(data, size));
  if (!file) return;
  IconImageSet* set = ReadIconFileFrom(*file, "fuzz.ico");
  if (set) {
    NullOutput sink;
    WriteIconFileTo(set, sink);
  }
  ReleaseIconImageSet(set);
}

}  // namespace vantorico
