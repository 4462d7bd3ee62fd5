#pragma once
// The tool's event handlers, bound to the units of MainWindow by the layout.
#include "base/arg_slot.h"
#include "framework/events_win.h"

namespace vantorico {

void OnWindowCreated(ArgSlot* args, int count);
void OnTrayEvent(ArgSlot* args, int count);
void OnFilesDropped(ArgSlot* args, int count);
void OnBrowseClicked(ArgSlot* args, int count);
void OnPathChanged(ArgSlot* args, int count);
void OnExtractClicked(ArgSlot* args, int count);
void OnMinimizeToTrayClicked(ArgSlot* args, int count);
void OnAboutClicked(ArgSlot* args, int count);
void OnHelpClicked(ArgSlot* args, int count);
void OnOpenChosen(ArgSlot* args, int count);
void OnExitChosen(ArgSlot* args, int count);

void RestoreMainWindow();

// Indexed by the layout's handler references.
const EventHandler* HandlerTable();

}  // namespace vantorico
