#pragma once
// The program's one message loop, with idle processing.
#include <windows.h>

namespace vantorico {

// Work done while no message waits; returns true to be called again before
// the loop sleeps.
using IdleCallback = bool (*)();
void AddIdleCallback(IdleCallback callback);

// Returns the quit message's code; at once (0) when no window is loaded.
int RunMessageLoop();

}  // namespace vantorico
