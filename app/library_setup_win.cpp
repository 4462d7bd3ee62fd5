#include "app/library_setup.h"

#include <ole2.h>

#include "iconlib/command/extract_file_icon.h"
#include "runtime/common_dlg_unit.h"
#include "runtime/core/command_call.h"
#include "runtime/core/program_end.h"
#include "shell/commands/drop_target_commands.h"
#include "shell/commands/tray_commands.h"
#include "shell/style/visual_style.h"

namespace vantorico {
namespace {

void StartCoreLibrary() {
  RegisterCommonDlgUnits();
  RegisterTrayWindows();
}

void EndCoreLibrary() {
  OleUninitialize();
}

void StartDragDropLibrary() {
  RegisterDropTargetUnits();
}

// The style's hook and per-control records go with the program.
void EndVisualStyleLibrary() {
  CallLibraryCommand(kLibraryVisualStyle, style::SetVisualStyle, 1, IntSlot(0));
}

// What the engine keeps of the last source goes with the program.
void EndAppInterfaceLibrary() {
  ReleaseExtractCache();
}

}  // namespace

void RegisterLibraries() {
  RegisterLibrary(kLibraryCore, StartCoreLibrary, EndCoreLibrary);
  RegisterLibrary(kLibraryDragDrop, StartDragDropLibrary, nullptr);
  RegisterLibrary(kLibraryVisualStyle, nullptr, EndVisualStyleLibrary);
  RegisterLibrary(kLibraryAppInterface, nullptr, EndAppInterfaceLibrary);
}

}  // namespace vantorico
