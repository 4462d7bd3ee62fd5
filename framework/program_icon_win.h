#pragma once
// The program's own icon (its "DEFAULT_ICON" group), loaded once and kept.
#include <windows.h>

namespace vantorico {

constexpr char kProgramIconGroup[] = "DEFAULT_ICON";

HICON ProgramIconLarge();
HICON ProgramIconSmall();

}  // namespace vantorico
