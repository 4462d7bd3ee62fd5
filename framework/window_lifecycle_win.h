#pragma once
// Creating a window and its units from the stored layout, showing it the
// first time, and destroying it.
#include <windows.h>

#include "framework/window_table_win.h"

namespace vantorico {

// The private message a window posts to itself to be destroyed later.
constexpr UINT DeferredDestroyMessage = 0x8065;

// Creates the window, its controls, menu and unit objects, raises its
// creation events. False when the system window could not be made.
bool CreateLiveWindow(WindowEntry& entry, HWND owner, bool modal);

// Showing a loaded window: the first time in its stored initial state.
void ShowLiveWindow(LiveWindow& window);

// Clears closePending and destroys the system window; the window's final
// messages discard the live objects and put the loaded-from layout back.
void DestroyLiveWindow(LiveWindow& window);

// A control's notification (from the parent's WM_COMMAND, or raised by the
// runtime itself) becomes the unit's event.
void NotifyUnit(LiveUnit& unit, UINT code);

// Set once the message loop runs: only then does the last window's
// destruction post the quit message.
void SetMessageLoopEntered();
bool MessageLoopEntered();

}  // namespace vantorico
