// The program's start-up and shutdown.
#include <windows.h>

#include "app/handlers.h"
#include "app/layout_handlers.h"
#include "app/library_setup.h"
#include "app/stored_layout.h"
#include "framework/message_loop_win.h"
#include "runtime/core/program_end.h"
#include "runtime/startup.h"
#include "runtime/window_commands.h"

namespace vantorico {

// The fixed places for the program's global variables; it has none.
void InitGlobals() {}
void ReleaseGlobals() {}

int ProgramEntry() {
  RegisterLibraries();
  InitializeRuntime(ByteSpan(kStoredLayout, kStoredLayoutSize), HandlerTable(), kHandlerCount);
  InitGlobals();
  RegisterExitCallback(ReleaseGlobals);
  LoadStartWindow(kMainWindowId);
  return RunMessageLoop();
}

}  // namespace vantorico

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const int exit_code = vantorico::ProgramEntry();
  vantorico::RunEndOfProgram();
  return exit_code;
}
