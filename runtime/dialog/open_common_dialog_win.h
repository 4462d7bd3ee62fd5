#pragma once
// The system's open-file and save-file dialogs, shown with a CommonDlg unit's
// settings.
#include <windows.h>

#include "runtime/dialog/common_dlg_settings.h"

namespace vantorico {

// The dialog's owner when the program has no main window registered: the
// thread's active window, followed to its last active pop-up.
HWND FallbackDialogOwner();

// Shows the dialog of settings.dialogType (open or save; the font and help
// kinds give false) modal to owner. True when the user confirmed a file; only
// then settings.fileName becomes the chosen full path.
bool OpenCommonDialog(CommonDlgSettings& settings, HWND owner);

}  // namespace vantorico
