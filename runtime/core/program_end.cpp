#include "runtime/core/program_end.h"

namespace vantorico {
namespace {

struct LibraryHooks {
  LibraryNotify onStart;
  LibraryNotify onEnd;
};

ExitCallback g_exit_callback = nullptr;
LibraryHooks g_libraries[kLibraryCount] = {};

}  // namespace

void RegisterExitCallback(ExitCallback callback) {
  g_exit_callback = callback;
}

void RegisterLibrary(int index, LibraryNotify on_start, LibraryNotify on_end) {
  if (index < 0 || index >= kLibraryCount) return;
  g_libraries[index] = {on_start, on_end};
}

void InitializeLibraries() {
  for (const LibraryHooks& lib : g_libraries) {
    if (lib.onStart) lib.onStart();
  }
}

void RunEndOfProgram() {
  if (ExitCallback callback = g_exit_callback) {
    g_exit_callback = nullptr;
    callback();
  }
  for (const LibraryHooks& lib : g_libraries) {
    if (lib.onEnd) lib.onEnd();
  }
}

}  // namespace vantorico
