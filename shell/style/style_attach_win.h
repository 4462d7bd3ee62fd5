#pragma once
// Taking controls over (subclassing with the style's procedure) and giving
// them back.
#include <windows.h>

namespace vantorico::style {

// Nothing happens to a window that has a record or is of a kind not attached.
void AttachWindow(HWND hwnd);
// A window without a record is left alone.
void DetachWindow(HWND hwnd);

// Every top-level window of the calling thread and all their descendants.
void AttachThreadWindows();
void DetachThreadWindows();

LRESULT CALLBACK StyleWindowProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace vantorico::style
