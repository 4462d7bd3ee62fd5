#include <windows.h>

#include "runtime/core/run_directory.h"

namespace vantorico {

static_assert(kMaxPathBytes == MAX_PATH);

void InitRunDirectory() {
  char path[kMaxPathBytes] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  SetProgramPath(SplitProgramPath(path));
  SetCurrentDirectoryA(GetProgramPath().runDirectory.c_str());
}

}  // namespace vantorico
