#pragma once
// The program's one message loop.
#include <windows.h>

namespace vantorico {

// Returns the quit message's code; at once (0) when no window is loaded.
int RunMessageLoop();

}  // namespace vantorico
