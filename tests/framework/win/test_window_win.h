#pragma once
// Loads the program's stored layout with recording handlers, so tests can see
// which events a window raised.
#include <windows.h>

#include <string>
#include <vector>

#include "base/arg_slot.h"

namespace vantorico::testing_support {

struct RaisedEvent {
  int handler;
  std::string text;  // the text argument, when there is one
  bool windowVisible;
};

// Installs the layout and the recording handlers (once per process).
void InstallRecordingLayout();
std::vector<RaisedEvent>& RaisedEvents();
int CountRaised(int handler);

// Runs the thread's messages until none is left.
void PumpMessages();

HWND MainWindowHandle();

}  // namespace vantorico::testing_support
