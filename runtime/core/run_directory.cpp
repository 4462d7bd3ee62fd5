#include "runtime/core/run_directory.h"

#include "base/dbcs.h"
#include "runtime/core/texts.h"

namespace vantorico {
namespace {

ProgramPath& Recorded() {
  static ProgramPath path;
  return path;
}

}  // namespace

ProgramPath SplitProgramPath(const char* full_path) {
  ProgramPath out;
  if (!full_path) return out;
  const ptrdiff_t slash = FindLastSingleByte(full_path, '\\');
  if (slash < 0) {
    out.fileName = full_path;
    return out;
  }
  out.runDirectory.assign(full_path, static_cast<size_t>(slash));
  out.fileName = full_path + slash + 1;
  return out;
}

void SetProgramPath(const ProgramPath& path) {
  Recorded() = path;
}
const ProgramPath& GetProgramPath() {
  return Recorded();
}

void GetRunDirectory(ArgSlot* result, int /*count*/, ArgSlot* /*args*/) {
  *result = TextSlot(NewText(Recorded().runDirectory.c_str()));
}

}  // namespace vantorico
