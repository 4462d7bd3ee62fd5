#include <windows.h>

#include "runtime/core/command_call.h"
#include "runtime/core/core_commands.h"
#include "runtime/core/run_directory.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace vantorico;
  InitRunDirectory();
  CallCoreCommand(ShowMessageBox, 3, TextSlot("VantorICO图标提取工具"), IntSlot(0), OmittedSlot());
  return 0;
}
