#include <windows.h>

#include "runtime/core/run_directory.h"

namespace vantorico {

void InitRunDirectory() {
  char path[kMaxPathBytes] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  SetProgramPath(SplitProgramPath(path));
  SetCurrentDirectoryA(GetProgramPath().runDirectory.c_str());
}

}  // namespace vantorico
