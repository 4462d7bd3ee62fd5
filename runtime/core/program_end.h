#pragma once
// The runtime's end-of-program steps and the libraries it tells about them.

namespace vantorico {

enum LibraryIndex : int {
  kLibraryCore = 0,
  kLibraryDragDrop = 1,
  kLibraryVisualStyle = 2,
  kLibraryAppInterface = 3,
  kLibraryCount = 4,
};

using ExitCallback = void (*)();
using LibraryNotify = void (*)();

// One slot; a later registration replaces the earlier one.
void RegisterExitCallback(ExitCallback callback);

// Each library's start and end notifications (either may be null).
void RegisterLibrary(int index, LibraryNotify on_start, LibraryNotify on_end);
void InitializeLibraries();

// Runs the exit callback once (its slot is cleared first, so a second run
// does nothing) and tells each library that the program ends.
void RunEndOfProgram();

}  // namespace vantorico
