// The tool's behaviour: each handler a straight sequence of library commands.
#include "app/handlers.h"

#include <windows.h>

#include "app/app_texts.h"
#include "app/extract_feedback.h"
#include "app/layout_handlers.h"
#include "app/stored_layout.h"
#include "app/tray_icon_image.h"
#include "app/unit_ids.h"
#include "iconlib/command/extract_file_icon.h"
#include "runtime/core/command_call.h"
#include "runtime/core/core_commands.h"
#include "runtime/core/memory.h"
#include "runtime/core/run_directory.h"
#include "runtime/core/texts.h"
#include "runtime/common_dlg_unit.h"
#include "runtime/window_commands.h"
#include "shell/commands/drop_target_commands.h"
#include "shell/style/visual_style.h"
#include "shell/commands/tray_commands.h"
#include "shell/tray/tray_constants.h"

namespace vantorico {
namespace {

constexpr int kVisualStyleScheme = 1;
// A run that is not a plain success is shown with the warning icon.
constexpr int kMessageBoxWarning = MB_ICONWARNING;

ArgSlot MainWindowRef() {
  return {kMainWindowId, kMainWindowUnitId, kUnitTypeWindow};
}

void ShowText(const char* text) {
  CallCoreCommand(ShowMessageBox, 3, TextSlot(text), IntSlot(0), OmittedSlot());
}

const char* OrEmpty(const char* text) {
  return text ? text : kTextEmpty;
}

}  // namespace

void RestoreMainWindow() {
  CallCoreCommand(LoadWindow, 3, MainWindowRef(), OmittedSlot(), BoolSlot(false));
  WriteUnitProperty(kMainWindowId, kMainWindowUnitId, kPropertyVisible, BoolSlot(true));
}

void OnWindowCreated(ArgSlot*, int) {
  CallLibraryCommand(kLibraryVisualStyle, style::SetVisualStyle, 1, IntSlot(kVisualStyleScheme));
  CallCoreCommand(SetTrayIcon, 3, MainWindowRef(), PointerSlot(kTrayIconImage, kTypeByteSet),
                  OmittedSlot());
  const ArgSlot handle = CallCoreCommand(GetWindowHandle, 1, MainWindowRef());
  CallLibraryCommand(kLibraryDragDrop, RegisterFileDrop, 2,
                     ArgSlot{kMainWindowId, kDropTargetId, kUnitTypeDropTarget},
                     IntSlot(SlotInt(handle)));
}

void OnTrayEvent(ArgSlot* args, int count) {
  const int action = count > 0 ? SlotInt(args[0]) : 0;
  if (action == TrayLeftDoubleClick) {
    RestoreMainWindow();
  } else if (action == TrayRightUp) {
    CallCoreCommand(PopupTrayMenu, 2, MainWindowRef(),
                    ArgSlot{kMainWindowId, kFileMenuEntryId, kUnitTypeMenuEntry});
  }
}

void OnFilesDropped(ArgSlot* args, int count) {
  const ArgSlot text = count > 0 ? args[0] : TextSlot(nullptr);
  WriteUnitProperty(kMainWindowId, kPathBoxId, kPropertyContent, text);
}

void OnBrowseClicked(ArgSlot*, int) {
  CallCoreCommand(OpenCommonDialog, 1, ArgSlot{kMainWindowId, kFileDialogId, kUnitTypeCommonDlg});
  const OwnedText name(SlotText(ReadUnitProperty(kMainWindowId, kFileDialogId, kPropertyFileName)));
  WriteUnitProperty(kMainWindowId, kPathBoxId, kPropertyContent, TextSlot(name.get()));
}

void OnPathChanged(ArgSlot*, int) {
  WriteUnitProperty(kMainWindowId, kExtractButtonId, kPropertyDisabled, BoolSlot(false));
}

void OnExtractClicked(ArgSlot*, int) {
  ExtractTally tally;
  for (int i = 1; i <= MaxIconGroups; ++i) {
    // Every text is made and freed in the pass that uses it.
    const OwnedText dir(SlotText(CallCoreCommand(GetRunDirectory, 0)));
    const OwnedText num(SlotText(CallCoreCommand(ToText, 1, IntSlot(i))));
    const OwnedText out(ConcatTexts(4, dir.get(), kTextSeparator, num.get(), kTextIconSuffix));
    const OwnedText path(SlotText(ReadUnitProperty(kMainWindowId, kPathBoxId, kPropertyContent)));
    // What the pass did comes back with it, so that the box afterwards tells the truth.
    ExtractReport report;
    ArgSlot args[] = {TextSlot(OrEmpty(path.get())), IntSlot(ExtractToFile),
                      TextSlot(OrEmpty(out.get())), IntSlot(i)};
    ArgSlot result{0, 0, 0};
    ExtractFileIcon(&result, 4, args, &report);
    CountExtractReport(report, i == 1, &tally);
  }
  const ExtractFeedback feedback = DescribeExtraction(tally);
  CallCoreCommand(ShowMessageBox, 3, TextSlot(feedback.text.c_str()),
                  IntSlot(feedback.warning ? kMessageBoxWarning : 0), OmittedSlot());
}

void OnMinimizeToTrayClicked(ArgSlot*, int) {
  WriteUnitProperty(kMainWindowId, kMainWindowUnitId, kPropertyVisible, BoolSlot(false));
}

void OnAboutClicked(ArgSlot*, int) {
  ShowText(kTextAbout);
}
void OnHelpClicked(ArgSlot*, int) {
  ShowText(kTextUsage);
}
void OnOpenChosen(ArgSlot*, int) {
  RestoreMainWindow();
}

void OnExitChosen(ArgSlot*, int) {
  CallCoreCommand(DestroyWindowUnit, 2, MainWindowRef(), OmittedSlot());
}

const EventHandler* HandlerTable() {
  static const EventHandler kHandlers[kHandlerCount] = {
      OnWindowCreated,
      OnTrayEvent,
      OnFilesDropped,
      OnBrowseClicked,
      OnPathChanged,
      OnExtractClicked,
      OnMinimizeToTrayClicked,
      OnAboutClicked,
      OnHelpClicked,
      OnOpenChosen,
      OnExitChosen,
  };
  static_assert(kHandlerOnWindowCreated == 0 && kHandlerOnTrayEvent == 1 &&
                    kHandlerOnFilesDropped == 2 && kHandlerOnBrowseClicked == 3 &&
                    kHandlerOnPathChanged == 4 && kHandlerOnExtractClicked == 5 &&
                    kHandlerOnMinimizeToTrayClicked == 6 && kHandlerOnAboutClicked == 7 &&
                    kHandlerOnHelpClicked == 8 && kHandlerOnOpenChosen == 9 &&
                    kHandlerOnExitChosen == 10,
                "the table follows the layout's handler numbering");
  return kHandlers;
}

}  // namespace vantorico
